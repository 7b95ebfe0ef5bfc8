#include "InstalledCardText.h"

#include "CardLayouts.h"
#include "Numbers.h"

#include <QStringList>

#include <map>

using namespace Qt::StringLiterals;

namespace {

// Rounds a length in twips up to the next eighth of an inch.
int roundUpToEighthInch(int twips)
{
    return (twips + 179) / 180 * 180;
}

// Rounds a length in twips to whole points.
int roundToPoints(int twips)
{
    return (twips + 10) / 20 * 20;
}

} // namespace

InstalledPrintSettings tablePrintSettings(const CardLayout &layout)
{
    InstalledPrintSettings s;
    s.paperHeight = roundUpToEighthInch(layout.pictureHeight);
    s.paperWidth = roundUpToEighthInch(layout.pictureWidth);
    return s;
}

InstalledPrintSettings installedPrintSettings(const CardLayout &layout)
{
    constexpr int Lift = 270; // twips every answer is printed above its box
    InstalledPrintSettings s;
    s.paperHeight = roundToPoints(layout.pictureHeight);
    s.paperWidth = roundToPoints(layout.pictureWidth);
    s.leftMargin = layout.pictureLeft;
    s.layoutDown = Lift - layout.pictureTop;
    // The fields are 90 twips (4.5 pt) high: at 4.5 pt a capital sits on a
    // baseline inside the field when the text's top is on the field's top.
    s.fontSize = QStringLiteral("4.5");
    return s;
}

QString installedCardText(const CardLayout &layout, const InstalledPrintSettings &print)
{
    std::map<int, QString> lines;
    const auto set = [&lines](int n, const QString &text) { lines[n] = text; };

    set(1, u"Borvessa card file"_s);
    set(2, u"Card,"_s + layout.name);
    set(3, u"Format,1"_s);
    set(4, u"Picture,"_s + layout.pictureFile);
    set(16, u"[Print font]"_s);
    set(17, u"FontSize:"_s + print.fontSize);
    set(18, u"FontName:"_s + print.fontName);
    set(19, u"[Installed picture]"_s);
    const int pictureTop = layout.pictureTop + print.layoutDown;
    set(20, u"ImagePxTop,"_s + QString::number(pictureTop));
    set(21, u"ImagePxLeft,"_s + QString::number(layout.pictureLeft));
    set(22, u"ImageWidth,"_s + QString::number(layout.pictureWidth));
    set(23, u"ImageHt,"_s + QString::number(layout.pictureHeight));
    set(24, u"UseDefaultSettings,False"_s);
    set(25, u"DesignMode,False"_s);
    set(26, u"[Paper]"_s);
    set(27, u"Orientation,P"_s);
    set(28, u"PaperHt:"_s + QString::number(print.paperHeight));
    set(29, u"PaperWdth:"_s + QString::number(print.paperWidth));
    set(35, u"[Current picture]"_s);
    set(36, u"ImagePxTop,"_s + QString::number(pictureTop));
    set(37, u"ImagePxLeft,"_s + QString::number(layout.pictureLeft));
    set(38, u"ImageWidth,"_s + QString::number(layout.pictureWidth));
    set(39, u"ImageHt,"_s + QString::number(layout.pictureHeight));
    set(50, u"[Installed layout]"_s);
    set(150, u"[Current layout]"_s);
    set(250, u"[Design sample answers]"_s);
    set(350, u"[Answers]"_s);
    set(449, u"[Questions]"_s);
    set(551, u"[Print adjustment]"_s);
    set(552, u"LeftPrintMargin:"_s + QString::number(print.leftMargin));
    set(553, u"EnlargeFactor:"_s + print.enlarge);

    const QString color = QString::number(qint64(layout.backColor));
    const int highest = layout.highestBox();
    int spareTab = int(layout.rows.size());
    for (int box = 0; box <= highest; ++box) {
        const LayoutRow *row = layout.rowForBox(box);
        QString control;
        QString label;
        // Boxes 40 and up do not follow the picture when the layout moves.
        const int down = box < 40 ? print.layoutDown : 0;
        if (row) {
            label = row->fieldName;
            // Boxes 40 and up keep the window's light grey.
            const QString back = box < 40 ? color : QString::number(0xE0E0E0);
            control = QStringList{QString::number(box), label, QString::number(row->height),
                                  QString::number(row->left), QString::number(row->top + down),
                                  QString::number(row->width), back, u"Small Fonts"_s, u"3"_s,
                                  row->visible ? u"True"_s : u"False"_s,
                                  QString::number(row->tabIndex)}
                          .join(u',');
        } else {
            // Saving addresses boxes by number without gaps, so an unused
            // number gets a hidden box at the picture's corner.
            label = u"Unused"_s;
            control = QStringList{QString::number(box), label, u"90"_s,
                                  QString::number(layout.pictureLeft),
                                  QString::number(pictureTop), u"90"_s, color,
                                  u"Small Fonts"_s, u"3"_s, u"False"_s,
                                  QString::number(spareTab++)}
                          .join(u',');
        }
        set(51 + box, control);
        set(151 + box, control);
        const QString sample = row ? row->sampleAnswer : QString();
        set(251 + box, QString::number(box) + u',' + label + u',' + sample);
        set(351 + box, QString::number(box) + u',' + label + u',');
    }

    int questionLine = 450;
    for (const LayoutRow &row : layout.rows)
        set(questionLine++, QString::number(row.box) + u',' + row.question);

    QString text;
    for (int n = 1; n <= 553; ++n) {
        const auto it = lines.find(n);
        if (it != lines.end())
            text += it->second;
        text += u"\r\n"_s;
    }
    return text;
}
