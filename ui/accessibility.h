// What assistive technology (a screen reader, through AT-SPI on Linux) sees
// of the program beyond Qt's own view of its widgets: the main window as a
// window, and each result box as a label whose text and value are the figure
// it shows.
#pragma once

// Installs the program's accessible interfaces. Call before the window is
// created: Qt keeps the interface it made first for an object. Safe to call
// more than once.
void InstallAccessibleInterfaces();
