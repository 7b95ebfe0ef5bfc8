// The card window's menus: File with the printing commands, Edit, View with
// the zoom steps, People with the people book's commands, and Help.
#include "frmCanCard.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

void frmCanCard::buildMenus()
{
    m_fileMenu = new QMenu(u"&File"_s, this);
    m_mnuSave1 = m_fileMenu->addAction(u"&Save"_s, this, &frmCanCard::mnuSave_Click);
    m_mnuSave1->setShortcut(QKeySequence::Save);
    m_mnuSave2 = m_fileMenu->addAction(u"Save as Default"_s, this, &frmCanCard::mnuSave_Click);
    m_mnuSave2->setVisible(false);
    m_mnuPrint = m_fileMenu->addAction(u"Print"_s, this, &frmCanCard::mnuPrint_Click);
    m_mnuPrint->setShortcut(QKeySequence::Print);
    m_mnuPrintPreview = m_fileMenu->addAction(u"Print Pre&view"_s, &m_printing, &CardPrintCommands::printPreview);
    m_mnuExportPdf = m_fileMenu->addAction(u"&Export PDF..."_s, &m_printing, &CardPrintCommands::exportPdfAs);
    m_mnuPrintAlignment = m_fileMenu->addAction(u"Print &Alignment Page"_s, this,
                                                [this] { m_printing.printAlignmentPage(); });
    m_mnuExportAlignment = m_fileMenu->addAction(u"Export Alignment Page P&DF..."_s,
                                                 &m_printing, &CardPrintCommands::exportAlignmentPdfAs);
    m_mnuCalibrate = m_fileMenu->addAction(u"&Calibrate Printing..."_s, &m_printing,
                                        &CardPrintCommands::calibratePrinting);
    m_fileMenu->addSeparator();
    m_mnuQuit = m_fileMenu->addAction(u"E&xit"_s, this, &frmCanCard::quitRequested);
    m_mnuQuit->setShortcut(QKeySequence(u"Ctrl+Q"_s));

    auto *edit = new QMenu(u"&Edit"_s, this);
    m_mnuClose = edit->addAction(u"&Close Card"_s, this, &frmCanCard::mnuClose_Click);
    m_mnuClose->setShortcut(QKeySequence::Close);
    m_mnuReset = edit->addAction(u"Reset"_s, this, &frmCanCard::mnuReset_Click);
    m_mnuReset->setVisible(false);

    auto *view = new QMenu(u"&View"_s, this);
    QAction *zoomIn = view->addAction(u"Zoom &In"_s, this, [this] { stepZoom(+1); });
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(u"Ctrl+="_s)});
    QAction *zoomOut = view->addAction(u"Zoom &Out"_s, this, [this] { stepZoom(-1); });
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    QAction *zoomReset = view->addAction(u"&Reset Zoom"_s, this, [this] { setZoom(DefaultZoom); });
    zoomReset->setShortcut(QKeySequence(u"Ctrl+0"_s));

    auto *help = new QMenu(u"Help"_s, this);
    m_mnuAssist = help->addAction(u"Help "_s, this, &frmCanCard::mnuAssist_Click);

    m_menus = {m_fileMenu, edit, view, buildPeopleMenu(), help};
    // Shortcuts work while the window is shown, whichever menu bar is in place.
    for (QMenu *menu : std::as_const(m_menus))
        addActions(menu->actions());
}

QMenu *frmCanCard::buildPeopleMenu()
{
    auto *people = new QMenu(u"&People"_s, this);
    m_mnuFillFromPerson = people->addAction(u"&Fill From Person..."_s, &m_people, &PeopleCommands::fillFromPerson);
    m_mnuSaveAsPerson = people->addAction(u"&Save As Person..."_s, &m_people, &PeopleCommands::saveAsPerson);
    m_mnuPrintForSeveralPeople = people->addAction(u"&Print for Several People..."_s, &m_people,
                                                   &PeopleCommands::printForSeveralPeople);
    m_mnuFillFromPerson->setObjectName(u"mnuFillFromPerson"_s);
    m_mnuSaveAsPerson->setObjectName(u"mnuSaveAsPerson"_s);
    m_mnuPrintForSeveralPeople->setObjectName(u"mnuPrintForSeveralPeople"_s);
    connect(people, &QMenu::aboutToShow, this, &frmCanCard::updatePeopleMenu);
    updatePeopleMenu();
    return people;
}

void frmCanCard::updatePeopleMenu()
{
    const bool available = m_people.available();
    for (QAction *action : {m_mnuFillFromPerson, m_mnuSaveAsPerson, m_mnuPrintForSeveralPeople})
        action->setEnabled(available);
}

void frmCanCard::stepZoom(int direction)
{
    if (direction > 0) {
        const auto next = std::find_if(std::begin(ZoomSteps), std::end(ZoomSteps),
                                       [this](double z) { return z > m_zoom + 1e-9; });
        if (next != std::end(ZoomSteps))
            setZoom(*next);
    } else {
        const auto next = std::find_if(std::rbegin(ZoomSteps), std::rend(ZoomSteps),
                                       [this](double z) { return z < m_zoom - 1e-9; });
        if (next != std::rend(ZoomSteps))
            setZoom(*next);
    }
}
