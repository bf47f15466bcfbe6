#pragma once
// The view-tree step of start-up: connects a view manager to the application object.
#include "app/network_layer.h"
#include "app/startup.h"
#include "app/view_manager.h"

namespace app {

// Installs the application's view-tree hook: at that step of start-up the manager loads the tree
// with the network probe's protocol flags and opens the current view (asking for a first view
// through `ui`); start-up ends when the user declines to create one.
inline void installViewTreeHook(CAmbra32App& app, CViewManager& views, NetworkLayer& net, ViewTreeUi& ui) {
  app.setViewTreeHook([&views, &net, &ui] { return views.start(ui, net.flags()) != kStartNoView; });
}

}  // namespace app
