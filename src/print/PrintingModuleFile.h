#pragma once

// The program's printing module: a shared module, installed with the
// programs, that holds Qt PrintSupport, the system's printer and the card
// tool's printing commands. The window and the card tool load it only when
// they print, so every other start goes without the printer support library.
// No Qt header here: the card tool includes this with Qt Core alone.
class CardPrinting;

namespace PrintingModuleFile {

inline constexpr char FileName[] = "borvessa-card-printing.so";
// Runs the card tool's whole command line with its printing commands; no
// application object may exist yet, as the module makes its own.
inline constexpr char CardToolEntry[] = "borvessa_card_printing_main";
using CardToolFunction = int (*)(int argc, char **argv);
// The process's one system printer; null without a GUI application object.
inline constexpr char PrinterEntry[] = "borvessa_card_printer";
using PrinterFunction = CardPrinting *(*)();

} // namespace PrintingModuleFile
