#pragma once
// How the program shows its messages: warning boxes owned by the active window. Without a
// screen anyone can answer (the offscreen and minimal platforms of headless runs) messages go to
// stderr and questions take their default answer, so that nothing waits for a click that cannot
// come.
#include <functional>
#include <string>

#include <QString>

namespace gui {

bool interactive();
// Shows one box on the GUI thread (title, text).
using WarningBox = std::function<void(const QString& title, const QString& text)>;
// Installs the ReportError presenter (boxes titled per error class). A message raised on another
// thread is posted to the GUI thread and shown there; the raising thread never waits for it.
void installMessageBoxPresenter();
// The same with the box given (tests record the boxes instead of showing them).
void installMessageBoxPresenter(WarningBox box);
// A warning box titled "Trellan"; returns the box result (1 for OK).
int showWarning(const std::string& text);
// A Yes/No question titled "Trellan" with a question icon; true unless the answer is No. Headless: `headlessAnswer`.
bool askYesNo(const std::string& text, bool headlessAnswer);

}  // namespace gui
