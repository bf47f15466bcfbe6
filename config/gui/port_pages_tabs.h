#pragma once
// The Output Port, Token Ring, EtherTalk and VINES tabs over their page models: they show the
// model, forward each edit and refresh what the model enables.
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "config/device_page.h"

class QFormLayout;

namespace configgui {

using FieldMap = std::map<std::string, QWidget*>;

// Builds the tab of `page` when it is one of these pages; false otherwise.
bool buildPortPageTab(QWidget* holder, QFormLayout* form, config::CDevicePage& page, FieldMap& fields,
                      std::function<void(const std::string&)> inform);

}  // namespace configgui
