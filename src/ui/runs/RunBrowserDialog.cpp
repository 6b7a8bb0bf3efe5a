#include "ui/runs/RunBrowserDialog.h"

#include "core/OperationFeedback.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "db/Values.h"
#include "refdata/NameLookups.h"
#include "reports/CsvWriter.h"
#include "reports/RunListReport.h"
#include "runs/RunAccounting.h"
#include "runs/RunSearch.h"
#include "ui/common/SaveFileDialog.h"
#include "ui/runs/ListWindow.h"
#include "ui/runs/RunAccountingDialog.h"
#include "ui/runs/RunBrowserCommands.h"
#include "ui/runs/RunFilterDialog.h"
#include "ui/runs/RunListClient.h"
#include "ui/runs/ViewLayout.h"

#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>

namespace korvan::ui::runs {

namespace {

const char* const kNotFound = "*** Non Esistente ***";

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

} // namespace

RunBrowserDialog::RunBrowserDialog(DbConnection* connection, MessageSink& sink, OperationFeedback& feedback,
                                   int& authority, int& company, RunSplitViews& views, QWidget* parent)
    : QDialog(parent), connection_(connection), sink_(sink), feedback_(feedback), authority_(authority),
      company_(company), views_(views), transaction_(connection, sink)
{
    setObjectName("runBrowser");
    setWindowTitle(QStringLiteral("Corse"));
    setModal(true);
    const char* labelNames[3] = {"authorityLabel", "companyLabel", "lineLabel"};
    const char* labelTexts[3] = {"Ente: non assegnato", "Azienda: non assegnata", "Linea: non assegnata"};
    for (int i = 0; i < 3; ++i) {
        labels_[i] = new QLabel(QString::fromUtf8(labelTexts[i]), this);
        labels_[i]->setObjectName(QString::fromLatin1(labelNames[i]));
    }
    client_ = std::make_unique<RunListClient>([this](int id) { runCommand(id); });
    list_ = new ListWindow(this);
    list_->setClient(client_.get());

    const std::pair<int, const char*> bar[] = {{command::Done, "Fine"},
                                               {command::RefreshView, "Aggiorna Vista"},
                                               {command::Restore, "Ripristina"},
                                               {command::SelectLine, "Selezione Linea"},
                                               {command::RunAccounting, "Finanziamento"},
                                               {command::CalendarView, "Calendario"},
                                               {command::ItineraryView, "Percorso"},
                                               {command::SaveList, "Salva CSV..."}};
    for (const auto& [id, label] : bar) {
        auto* button = new QPushButton(QString::fromUtf8(label), this);
        button->setObjectName(QStringLiteral("button%1").arg(id));
        button->setAutoDefault(false);
        const int commandId = id;
        connect(button, &QPushButton::clicked, this, [this, commandId] { runCommand(commandId); });
        buttons_.emplace_back(id, button);
    }
    button(command::SelectLine)->setDefault(true);
    saveFolder_ = std::make_shared<SaveFolder>();
    resize(800, 600);
}

void RunBrowserDialog::setSaveFolder(std::shared_ptr<SaveFolder> folder)
{
    if (folder)
        saveFolder_ = std::move(folder);
}

RunBrowserDialog::~RunBrowserDialog()
{
    // The list draws the client's rows until it goes.
    list_->setClient(nullptr);
}

QPushButton* RunBrowserDialog::button(int commandId) const
{
    for (const auto& [id, button] : buttons_)
        if (id == commandId)
            return button;
    return nullptr;
}

bool RunBrowserDialog::beginTransaction()
{
    return transaction_.open();
}

void RunBrowserDialog::placeOver(QWidget* area)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    area_ = area;
    area->installEventFilter(this);
    if (QWidget* window = area->window(); window != area)
        window->installEventFilter(this);
    coverArea();
}

void RunBrowserDialog::coverArea()
{
    if (area_)
        setGeometry(QRect(area_->mapToGlobal(QPoint(0, 0)), area_->size()));
}

bool RunBrowserDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
        coverArea();
    return QDialog::eventFilter(watched, event);
}

int RunBrowserDialog::exec()
{
    QTimer::singleShot(0, this, [this] { runCommand(command::SelectLine); });
    return QDialog::exec();
}

void RunBrowserDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layOut();
}

void RunBrowserDialog::layOut()
{
    // The bar's gaps: "Fine", 30 "Aggiorna Vista", 5 "Ripristina", 30
    // "Selezione Linea", 30 "Finanziamento", 5 "Calendario", 5 "Percorso",
    // 30 "Salva CSV...".
    const int gaps[] = {0, 30, 5, 30, 30, 5, 5, 30};
    std::vector<BarButton> bar;
    for (size_t i = 0; i < buttons_.size(); ++i)
        bar.push_back({buttons_[i].second, gaps[i]});
    layOutView(*this, {labels_[0], labels_[1], labels_[2]}, list_, bar);
}

void RunBrowserDialog::runCommand(int commandId)
{
    if (finished_)
        return;
    switch (commandId) {
    case command::SelectLine:
        chooseLine();
        return;
    case command::RefreshView:
        // Work that could not be kept stays pending, and so do its marks.
        if (transaction_.keepAndContinue())
            marks_.clearPending();
        reload();
        return;
    case command::Restore:
        transaction_.undoAndContinue();
        marks_.clearPending();
        reload();
        return;
    case command::Done:
        finishAndClose();
        return;
    case command::RunAccounting:
        editRunAccounting();
        return;
    case command::CalendarView:
    case command::ItineraryView:
        openView(commandId == command::CalendarView);
        return;
    case command::FindRun:
        findRun();
        return;
    case command::CopyRuns:
        copyRuns();
        return;
    case command::SaveList:
        saveList();
        return;
    case command::SelectAll:
    case command::ClearSelection:
        if (model_) {
            if (commandId == command::SelectAll)
                model_->selectAll();
            else
                model_->clearSelection();
            list_->refresh();
        }
        return;
    default:
        break;
    }
    if (const korvan::runs::RunOrder* order = korvan::runs::runOrderForCommand(commandId); order && model_)
        sortBy(order->code);
}

void RunBrowserDialog::sortBy(char order)
{
    const CursorPlace place = cursorPlace();
    model_->sort(order);
    placeCursor(place);
}

RunBrowserDialog::CursorPlace RunBrowserDialog::cursorPlace() const
{
    CursorPlace place;
    const korvan::runs::RunRow* row = model_ ? model_->rowAt(list_->cursorRow()) : nullptr;
    if (!row)
        return place;
    place.runId = row->runId;
    const int screenRow = list_->cursorRow() - list_->topRow();
    place.screenRow = screenRow >= 0 && screenRow < list_->visibleRows() ? screenRow : -1;
    return place;
}

void RunBrowserDialog::placeCursor(const CursorPlace& place)
{
    const int position = model_ && place.runId >= 0 ? model_->positionOf(place.runId) : -1;
    if (position >= 0) {
        list_->setCursorRow(position);
        // A cursor in view stays on its screen row; one out of view leaves
        // the rows where they were.
        if (place.screenRow >= 0)
            list_->setTopRow(position - place.screenRow);
    }
    list_->refresh();
}

void RunBrowserDialog::chooseLine()
{
    RunFilterDialog dialog(connection_, sink_, authority_, company_, lineChosen_ ? key_.line : -1, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    authority_ = dialog.choice().authority;
    company_ = dialog.choice().company;
    showLine(dialog.choice());
}

void RunBrowserDialog::showLine(const korvan::runs::RunListKey& key)
{
    // Another line starts in ID order, at its first run, nothing selected;
    // the marks of pending changes stay with their runs.
    key_ = key;
    lineChosen_ = true;
    transaction_.setContract(key.authority, key.company);
    client_->setModel(nullptr);
    model_.reset();
    marks_.clearSelection();
    const std::optional<std::string> authority = refdata::authorityName(connection_, key.authority);
    const std::optional<std::string> company = refdata::companyName(connection_, key.company);
    const std::optional<refdata::LineName> line = refdata::lineName(connection_, key.line);
    labels_[0]->setText(text(formatText("Ente: [%d] %s", key.authority, authority ? authority->c_str() : kNotFound)));
    labels_[1]->setText(text(formatText("Azienda: [%d] %s", key.company, company ? company->c_str() : kNotFound)));
    labels_[2]->setText(text(formatText("Linea: [%d] %s %s", key.line, line ? line->code.c_str() : kNotFound,
                                        line ? line->name.c_str() : "")));
    reload();
    list_->reset();
    list_->setFocus();
}

void RunBrowserDialog::reload()
{
    if (!lineChosen_)
        return;
    // The browser's own loop runs on after the load: the scope ends the
    // wait cursor and the clock with it.
    BusyScope busy(feedback_, true);
    const CursorPlace place = cursorPlace();
    const char order = model_ ? model_->order() : korvan::runs::kRunIdOrder;
    if (model_)
        marks_.noteSelection(*model_);
    client_->setModel(nullptr);
    model_ = std::make_unique<korvan::runs::RunListModel>(korvan::runs::loadRunList(connection_, key_));
    if (order != model_->order())
        model_->sort(order);
    marks_.applyTo(*model_);
    client_->setModel(model_.get());
    placeCursor(place);
}

void RunBrowserDialog::findRun()
{
    if (!model_)
        return;
    QInputDialog dialog(this);
    dialog.setObjectName("findRunDialog");
    dialog.setWindowTitle(QStringLiteral("Cerca Corsa"));
    dialog.setLabelText(QStringLiteral("Codice o ID della corsa:"));
    dialog.setTextValue(findText_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    findText_ = dialog.textValue();
    const std::string typed = findText_.trimmed().toStdString();
    if (typed.empty())
        return;
    const int position = korvan::runs::findRunPosition(*model_, typed, list_->cursorRow());
    if (position < 0) {
        sink_.showMessage(
            formatText("ATTENZIONE: Nessuna corsa della lista ha codice o ID \"%s\".\n\n", typed.c_str()) +
                "Occorre indicare il codice o l'ID di una corsa della lista.\n\n",
            MessageIcon::Error);
        return;
    }
    list_->setCursorRow(position);
    list_->scrollToCursor();
}

void RunBrowserDialog::copyRuns()
{
    if (!model_)
        return;
    // The selected runs in the order shown; without a selection, the
    // cursor run.
    std::vector<const korvan::runs::RunRow*> runs;
    for (int position = 0; position < model_->count(); ++position)
        if (model_->rowAt(position)->selected)
            runs.push_back(model_->rowAt(position));
    if (runs.empty() && cursorRun())
        runs.push_back(cursorRun());
    if (runs.empty())
        return;
    const QByteArray csv =
        QByteArray::fromStdString(korvan::reports::csvText(korvan::reports::runListReport(runs, key_)));
    auto* mime = new QMimeData;
    mime->setText(QString::fromUtf8(csv));
    mime->setData(QStringLiteral("text/csv"), csv);
    QGuiApplication::clipboard()->setMimeData(mime);
}

void RunBrowserDialog::saveList()
{
    if (!model_)
        return;
    const SaveFileRequest request{
        QStringLiteral("Salva CSV"), QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"),
        QString::fromStdString(formatText("Corse_%04d_%04d_%04d", key_.authority, key_.company, key_.line))};
    const QString path = chooseSaveFile(this, request, *saveFolder_, sink_);
    if (path.isEmpty())
        return;
    std::string error;
    if (!korvan::reports::writeCsvFile(korvan::reports::runListReport(*model_, key_),
                                       QFile::encodeName(path).toStdString(), error)) {
        sink_.showMessage(error, MessageIcon::Error);
        return;
    }
    saveFolder_->rememberFile(path);
    if (statusLine_)
        statusLine_(QStringLiteral("CSV salvato in %1").arg(QDir::toNativeSeparators(path)));
}

korvan::runs::RunRow* RunBrowserDialog::cursorRun()
{
    return model_ ? model_->rowAt(list_->cursorRow()) : nullptr;
}

void RunBrowserDialog::editRunAccounting()
{
    korvan::runs::RunRow* row = cursorRun();
    if (!row)
        return;
    showCursorRun();
    RunAccountingDialog dialog(connection_, sink_, *model_, *row, this);
    // The change takes the contract's lock, not the dialog.
    if (dialog.exec() != QDialog::Accepted || !transaction_.readyForChanges())
        return;
    if (!korvan::runs::applyRunAccounting(connection_, *model_, *row, dialog.change(), feedback_)) {
        // The rows are read again; the earlier pending changes keep their
        // marks unless the failure took them with it.
        if (!transaction_.afterFailedChange())
            marks_.clearPending();
        reload();
        return;
    }
    marks_.notePending(*model_);
    list_->refresh();
}

void RunBrowserDialog::showCursorRun()
{
    // The cursor run may have been scrolled out of view: bring it back
    // before a command acts on it, so the user sees which run it is.
    list_->scrollToCursor();
    list_->viewport()->repaint();
}

void RunBrowserDialog::openView(bool calendar)
{
    korvan::runs::RunRow* row = cursorRun();
    if (!row)
        return;
    showCursorRun();
    RunViewContext context{connection_, sink_, feedback_, *model_, transaction_, this};
    const RunViewOutcome outcome =
        calendar ? views_.showCalendarView(context, *row) : views_.showItineraryView(context, *row);
    if (outcome == RunViewOutcome::WriteFailed) {
        transaction_.undoAfterFailure();
        marks_.clearPending();
        reload();
    } else if (outcome == RunViewOutcome::Changed) {
        marks_.notePending(*model_);
        list_->refresh();
    }
}

bool RunBrowserDialog::finishAndClose()
{
    if (finished_)
        return true;
    if (!transaction_.finish())
        return false;
    finished_ = true;
    QDialog::done(QDialog::Accepted);
    return true;
}

void RunBrowserDialog::reject()
{
    finishAndClose();
}

void runBrowserCommand(QWidget* clientArea, DbConnection* connection, MessageSink& sink, OperationFeedback& feedback,
                       int& authority, int& company, const BrowserHost& host)
{
    RunBrowserDialog browser(connection, sink, feedback, authority, company, runSplitViews(), clientArea->window());
    if (!browser.beginTransaction())
        return;
    browser.setStatusLine(host.showStatus);
    browser.setSaveFolder(host.saveFolder);
    browser.placeOver(clientArea);
    if (host.registerCloser)
        host.registerCloser([&browser] { return browser.finishAndClose(); });
    browser.exec();
    if (host.registerCloser)
        host.registerCloser({});
}

} // namespace korvan::ui::runs
