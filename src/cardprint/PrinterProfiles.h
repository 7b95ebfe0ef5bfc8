#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// A card's calibration for one printer (and tray): the print settings that
// replace the card's own lines 552 and 553, and how far the whole layout
// moves down, when the card prints on that printer.
struct PrinterProfile
{
    std::int16_t margin = 0; // left print margin, twips
    float enlarge = 1;
    float layoutDown = 0; // twips, relative to the card's own layout

    bool operator==(const PrinterProfile &) const = default;
};

// The printer chosen for each card and the cards' printer calibrations, in
// the user's settings file (never in the card file), so the window and the
// card tool share them and they outlive the program. Cards are known by
// their file's name without folder or extension, compared without case;
// printers and trays by their CUPS names.
namespace PrinterProfiles {

struct Choice
{
    QString printer; // empty: the system's default printer
    QString tray;    // empty: the printer's own choice
};

QString cardKey(const QString &cardFile);

Choice choice(const QString &cardFile);
void setChoice(const QString &cardFile, const Choice &choice);

// The calibration of the card for exactly this printer and tray; none when
// the card prints there with its own settings.
std::optional<PrinterProfile> profile(const QString &cardFile, const QString &printer, const QString &tray);
// Keeps the calibration; false with the reason, naming the settings file,
// when it could not be written.
bool setProfile(const QString &cardFile, const QString &printer, const QString &tray,
                const PrinterProfile &profile, QString *error);
bool removeProfile(const QString &cardFile, const QString &printer, const QString &tray, QString *error);

// How a page says which calibration it prints with, for the preview and the
// card tool: the printer's own or the card's.
QString describe(const QString &printer, const QString &tray, bool hasProfile);

} // namespace PrinterProfiles
