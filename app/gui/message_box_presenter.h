#pragma once
// How the program shows its messages: warning boxes owned by the active window. Without a
// screen anyone can answer (the offscreen and minimal platforms of headless runs) messages go to
// stderr and questions take their default answer, so that nothing waits for a click that cannot
// come.
#include <string>

namespace gui {

bool interactive();
// Installs the ReportError presenter (boxes titled per error class).
void installMessageBoxPresenter();
// A warning box titled "Trellan"; returns the box result (1 for OK).
int showWarning(const std::string& text);
// A Yes/No question titled "Trellan" with a question icon; true unless the answer is No. Headless: `headlessAnswer`.
bool askYesNo(const std::string& text, bool headlessAnswer);

}  // namespace gui
