// The program entry: no arguments of its own (Qt's, such as -platform, are
// understood), exit code 0 after a normal end.
#include <memory>

#include "Unit1.h"
#include "start_up.h"

int main(int argc, char** argv)
{
    const int exitCode = RunProgram(argc, argv, [] {
        Form1 = new TForm1;
        return std::unique_ptr<QWidget>(Form1);
    });
    Form1 = nullptr;
    return exitCode;
}
