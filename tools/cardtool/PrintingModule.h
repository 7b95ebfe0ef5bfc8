#pragma once

// The card tool's side of the printing module (PrintingModuleFile.h): the
// printing commands run inside it, together with Qt Gui and the printer, so
// every other command starts with Qt Core alone.
namespace PrintingModule {

// Loads the module and runs the whole command line in it; no application
// object may exist yet, as the module makes its own. Returns the exit code.
int run(int argc, char **argv);

} // namespace PrintingModule
