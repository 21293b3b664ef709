// The program's run from start to end, in its fixed order:
//   1. the decimal separator is read from the user's locale (no window yet);
//   2. the Japanese window font is mapped to the installed Gothic fonts;
//   3. the application object is created;
//   4. the title and the program icon are set (still no window visible);
//   5. the main window is created; it shows itself at the end of its creation;
//   6. the message loop runs until the main window is closed;
//   7. the main window, then the application object, are destroyed.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>

// The title of the program, of its window and of every error box.
inline constexpr char16_t kProgramTitle[] = u"消火栓放水量計算";

// Runs the program; the main window comes from createMainWindow. Returns the
// process's exit code: 0 after a normal end.
int RunProgram(int& argc, char** argv,
               const std::function<std::unique_ptr<QWidget>()>& createMainWindow);
