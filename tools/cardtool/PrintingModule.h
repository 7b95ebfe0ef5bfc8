#pragma once

// The printing module of the card tool: a shared module, installed with the
// tool, that holds the printing commands together with Qt Gui and the printer.
// The tool loads it only when a printing command runs, so every other command
// starts with Qt Core alone.
namespace PrintingModule {

// The module's file name, and the function it exports.
inline constexpr char FileName[] = "borvessa-card-printing.so";
inline constexpr char EntryName[] = "borvessa_card_printing_main";
using Entry = int (*)(int argc, char **argv);

// Loads the module and runs the whole command line in it; no application
// object may exist yet, as the module makes its own. Returns the exit code.
int run(int argc, char **argv);

} // namespace PrintingModule
