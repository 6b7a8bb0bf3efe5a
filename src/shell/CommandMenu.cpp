#include "shell/CommandMenu.h"

#include "shell/CommandIds.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace korvan::shell {

const std::vector<MenuEntry>& commandMenuTree()
{
    // "Metodo &SQLite" is the file back end's entry (the embedded SQLite engine).
    static const std::vector<MenuEntry> tree = {
        {"&Database",
         0,
         {
             {"Metodo &SQLite",
              0,
              {{"&Connetti", command::SqliteConnect, {}}, {"&Sconnetti", command::SqliteDisconnect, {}}}},
             {"Metodo &ODBC", 0, {{"&Connetti", command::OdbcConnect, {}}}},
             {nullptr, 0, {}},
             {"Importa Feed &GTFS...", command::ImportGtfs, {}},
         }},
        {"&Corse", command::RunBrowser, {}},
        {"&Stampe",
         0,
         {
             {"Stampa &Contratti di Servizio", command::PrintContracts, {}},
             {"Stampa Contributi &Aggiuntivi", command::PrintContributions, {}},
         }},
        {"&Utilità",
         0,
         {
             {"&Linee Normalizzate",
              0,
              {
                  {"&Estrai Linee Normalizzate", command::ExtractLines, {}},
                  {"&Editing Linee Normalizzate", command::EditLines, {}},
                  {"&Stampa Linee Normalizzate", command::PrintLines, {}},
                  {"&Fusione Linee", command::MergeLines, {}},
              }},
             {"Assegnazione &Dati Contabili",
              0,
              {
                  {"per &Contratto", command::AssignPerContract, {}},
                  {"per &Linea Normalizzata", command::AssignPerLine, {}},
                  {"per &Calendario", command::AssignPerCalendar, {}},
                  {"per &Orario", command::AssignPerTimeBand, {}},
              }},
             {"Determinazione &Giorni Effettuazione", command::ServiceDays, {}},
             {nullptr, 0, {}},
             {"Eliminazione &Dati Contabili",
              0,
              {
                  {"finanziamenti &Aggiuntivi", command::RemoveAdditionalFinancing, {}},
                  {"frazionamenti &Calendario", command::RemoveCalendarSplits, {}},
                  {"frazionamenti &Itinerario", command::RemoveItinerarySplits, {}},
              }},
         }},
        {"&Fine", command::Exit, {}},
        {"&?", command::About, {}},
    };
    return tree;
}

bool isCommandAlwaysEnabled(int id)
{
    return id == command::Exit || id == command::About || id == command::SqliteConnect ||
           id == command::SqliteDisconnect || id == command::OdbcConnect || id == command::ImportGtfs;
}

namespace {

QAction* makeCommandAction(const MenuEntry& entry, QObject* owner)
{
    auto* action = new QAction(QString::fromUtf8(entry.text), owner);
    action->setData(entry.id);
    return action;
}

void addEntries(QMenu& menu, const std::vector<MenuEntry>& entries, std::map<int, QAction*>& actions)
{
    for (const MenuEntry& entry : entries) {
        if (entry.isSeparator()) {
            menu.addSeparator();
        } else if (entry.isPopup()) {
            QMenu* popup = menu.addMenu(QString::fromUtf8(entry.text));
            addEntries(*popup, entry.children, actions);
        } else {
            QAction* action = makeCommandAction(entry, &menu);
            menu.addAction(action);
            actions[entry.id] = action;
        }
    }
}

} // namespace

std::map<int, QAction*> buildCommandMenu(QMenuBar& menuBar)
{
    std::map<int, QAction*> actions;
    for (const MenuEntry& entry : commandMenuTree()) {
        if (entry.isPopup()) {
            QMenu* popup = menuBar.addMenu(QString::fromUtf8(entry.text));
            addEntries(*popup, entry.children, actions);
        } else if (!entry.isSeparator()) {
            QAction* action = makeCommandAction(entry, &menuBar);
            menuBar.addAction(action);
            actions[entry.id] = action;
        }
    }
    return actions;
}

void applyEnablingRule(const std::map<int, QAction*>& actions, bool connectionOpen)
{
    for (const auto& [id, action] : actions)
        action->setEnabled(isCommandAlwaysEnabled(id) || connectionOpen);
}

} // namespace korvan::shell
