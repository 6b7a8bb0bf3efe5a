#include "shell/MainWindow.h"

#include "gtfs/GtfsImport.h"
#include "shell/AboutText.h"
#include "shell/BusyClockWidget.h"
#include "shell/ClientAreaWidget.h"
#include "shell/CommandIds.h"
#include "shell/CommandMenu.h"
#include "shell/DatabaseStatus.h"
#include "shell/JetOpening.h"
#include "shell/OperationInterrupt.h"
#include "shell/ShellResources.h"
#include "ui/common/MessageBoxSink.h"
#include "ui/common/ReportViewBase.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>

#include <algorithm>

namespace korvan::shell {

namespace {

const char* const kMainTitle = "KORVAN - \"Contabilità Varcotab - Regione Valdora\"";
const char* const kNoDatabaseMessage = "L'applicazione KORVAN non è associata ad un database.\n\n"
                                       "Prima di iniziare ad operare con KORVAN è necessario\n"
                                       "associare un database già esistente di Varcotab.\n\n";
const char* const kExitQuestion = "E' stata richiesta l'uscita da KORVAN.\n\n"
                                  "Intendi veramente uscire dal programma ?";
const char* const kDisconnectQuestion = "Confermi sconnessione database ?";
const char* const kDisconnectCaption = "Sconnessione Database";
constexpr int kProgressBarHeight = 20;

bool isShellCommand(int id)
{
    return isCommandAlwaysEnabled(id);
}

// The nesting of the running event loop: 1 in the main loop, 2 in a modal
// dialog's, and so on. Before the main loop runs, code counts as in it.
int eventLoopLevel()
{
    return std::max(1, QThread::currentThread()->loopLevel());
}

} // namespace

MainWindow::MainWindow(const QString& settingsFile, MessageSink& sink, QWidget* parent)
    : MainWindow(SettingsStore(settingsFile), sink, parent)
{
}

MainWindow::MainWindow(SettingsStore settings, MessageSink& sink, QWidget* parent)
    : QMainWindow(parent), sink_(sink), settingsStore_(std::move(settings)), session_(sink)
{
    initShellResources();
    session_.setLockWaiter(&lockWaiter_);
    setObjectName("mainWindow");
    setWindowTitle("KORVAN");
    setWindowIcon(QIcon(QStringLiteral(":/korvan/icon.png")));
    clientArea_ = new ClientAreaWidget(this);
    setCentralWidget(clientArea_);

    actions_ = buildCommandMenu(*menuBar());
    for (const auto& [id, action] : actions_) {
        const int commandId = id;
        connect(action, &QAction::triggered, this, [this, commandId] { runCommand(commandId); });
    }
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateCommandEnabling);
    updateCommandEnabling();

    databaseLabel_ = new QLabel(this);
    databaseLabel_->setObjectName("databaseLabel");
    statusBar()->addPermanentWidget(databaseLabel_);
    databaseLabel_->setText(QString::fromStdString(databaseStatusText(session_)));

    busyClock_ = new BusyClockWidget(this);
    interrupt_ = new OperationInterrupt(clientArea_, sink_);

    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &MainWindow::onAboutToBlock);
}

MainWindow::~MainWindow()
{
    shutDown();
}

void MainWindow::startUp()
{
    showMaximized();
    setMainTitle();
    loadSettings();
    if (session_.odbcDsn().empty() && session_.sqlitePath().empty())
        sink_.showMessage(kNoDatabaseMessage, MessageIcon::Error);
    connectToDatabase();
    setMainTitle();
}

void MainWindow::loadSettings()
{
    StoredSettings values = session_.storedSettings();
    settingsStore_.load(values, sink_);
    session_.applySettings(values);
}

void MainWindow::saveSettings()
{
    settingsStore_.save(session_.storedSettings());
}

bool MainWindow::connectToDatabase()
{
    const bool connected = session_.connectToDatabase();
    showConnection();
    return connected;
}

void MainWindow::closeConnection()
{
    session_.closeConnection();
    showConnection();
}

void MainWindow::showConnection()
{
    updateCommandEnabling();
    setMainTitle();
    databaseLabel_->setText(QString::fromStdString(databaseStatusText(session_)));
}

void MainWindow::forgetCurrentContract()
{
    current_ = CurrentContract{};
}

void MainWindow::setMainTitle()
{
    setWindowTitle(QString::fromUtf8(kMainTitle));
}

bool MainWindow::finishOpenWork()
{
    if (!openWorkCloser_)
        return true;
    if (!openWorkCloser_())
        return false;
    openWorkCloser_ = nullptr;
    return true;
}

void MainWindow::shutDown()
{
    if (shutDown_)
        return;
    finishOpenWork();
    shutDown_ = true;
    session_.closeConnection();
    saveSettings();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (shutDown_ || (sink_.askConfirmation(kExitQuestion) && finishOpenWork())) {
        shutDown();
        event->accept();
    } else {
        event->ignore();
    }
}

// Commands ------------------------------------------------------------------

void MainWindow::setCommandHandler(int commandId, std::function<void()> handler)
{
    if (!isShellCommand(commandId))
        handlers_[commandId] = std::move(handler);
}

QAction* MainWindow::commandAction(int commandId) const
{
    const auto found = actions_.find(commandId);
    return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::updateCommandEnabling()
{
    applyEnablingRule(actions_, session_.isConnected());
}

void MainWindow::runCommand(int commandId)
{
    switch (commandId) {
    case command::Exit:
        close();
        return;
    case command::About:
        showAbout();
        return;
    case command::SqliteConnect:
        chooseSqliteDatabase();
        return;
    case command::SqliteDisconnect:
        disconnectDatabase();
        return;
    case command::OdbcConnect:
        chooseOdbcSource();
        return;
    case command::ImportGtfs:
        importGtfsFeed();
        return;
    default:
        break;
    }
    const auto handler = handlers_.find(commandId);
    if (handler != handlers_.end() && handler->second)
        handler->second();
}

// Database commands ------------------------------------------------------------

std::optional<QString> MainWindow::promptSqliteFile()
{
    QFileDialog dialog(this, "Selezione del Database");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({"Database SQLite o JET (*.sqlite *.sqlite3 *.db *.mdb *.accdb)", "Tutti i files (*.*)"});
    dialog.setDefaultSuffix("sqlite");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<DataSourceChoice> MainWindow::promptDataSource()
{
    DataSourceDialog dialog(sink_, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

void MainWindow::chooseSqliteDatabase()
{
    const std::optional<QString> path = promptSqliteFile();
    if (!path || !finishOpenWork())
        return;
    std::string chosen = path->toStdString();
    // A JET file is only read: the program works on a SQLite copy of it.
    if (isJetFileName(chosen)) {
        const std::optional<std::string> copy = JetOpening(this, sink_, feedback()).run(chosen);
        if (!copy) {
            repaintClientArea();
            return;
        }
        chosen = *copy;
    }
    forgetCurrentContract();
    session_.chooseSqliteFile(chosen);
    showConnection();
    repaintClientArea();
}

void MainWindow::chooseOdbcSource()
{
    const std::optional<DataSourceChoice> choice = promptDataSource();
    if (!choice || !finishOpenWork())
        return;
    forgetCurrentContract();
    session_.chooseOdbcSource(choice->dsn, choice->driver, choice->rowsetSizeOrdinary, choice->rowsetSizeBlob);
    showConnection();
    repaintClientArea();
}

std::optional<GtfsImportChoice> MainWindow::promptGtfsImport()
{
    return askGtfsImport(this);
}

void MainWindow::importGtfsFeed()
{
    const std::optional<GtfsImportChoice> choice = promptGtfsImport();
    if (!choice || !finishOpenWork())
        return;
    const std::string target = choice->target.toStdString();
    if (gtfs::importIntoNewFile({choice->feed.toStdString(), ""}, target, choice->replace, sink_, *this)) {
        session_.chooseSqliteFile(target);
        updateCommandEnabling();
        setMainTitle();
    }
    endProgress();
    repaintClientArea();
}

void MainWindow::disconnectDatabase()
{
    if (ui::askConfirmation(sink_, kDisconnectQuestion, kDisconnectCaption) && finishOpenWork()) {
        forgetCurrentContract();
        session_.disconnect();
        showConnection();
    }
    repaintClientArea();
}

std::string MainWindow::aboutText() const
{
    return shell::aboutText(session_, systemDescription());
}

void MainWindow::showAbout()
{
    sink_.showMessage(aboutText(), MessageIcon::Information);
}

void MainWindow::repaintClientArea()
{
    if (isVisible())
        clientArea_->repaint();
}

// Busy indicator, progress and banner -------------------------------------------

void MainWindow::beginBusy(bool showClock)
{
    busyEventLoop_ = std::min(busyEventLoop_, eventLoopLevel());
    if (!waitCursor_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        waitCursor_ = true;
    }
    if (showClock && busyClock_)
        busyClock_->start();
}

void MainWindow::enterBusyScope(bool showClock)
{
    ++busyScopes_;
    beginBusy(showClock);
}

void MainWindow::leaveBusyScope()
{
    if (busyScopes_ == 0 || --busyScopes_ > 0)
        return;
    restorePointer();
    busyEventLoop_ = kAnyEventLoop;
}

void MainWindow::restorePointer()
{
    if (waitCursor_) {
        QApplication::restoreOverrideCursor();
        waitCursor_ = false;
    }
}

void MainWindow::endBusy()
{
    if (busyClock_)
        busyClock_->idleHook();
    restorePointer();
    busyEventLoop_ = kAnyEventLoop;
}

void MainWindow::setProgress(int percent)
{
    if (!progressBar_) {
        progressBar_ = new QProgressBar(clientArea_);
        progressBar_->setObjectName(QString("progressBar%1").arg(kProgressBarId));
        progressBar_->setRange(0, 100);
        progressBar_->setTextVisible(false);
        progressBar_->setGeometry(0, clientArea_->height() - kProgressBarHeight, clientArea_->width(),
                                  kProgressBarHeight);
        progressBar_->show();
    }
    progressBar_->setValue(percent);
    progressBar_->repaint();
    // The interface thread is busy: deliver the clock's pending ticks now.
    QCoreApplication::sendPostedEvents(busyClock_, QEvent::MetaCall);
    interrupt_->poll(true);
}

void MainWindow::endProgress()
{
    delete progressBar_;
    progressBar_ = nullptr;
}

void MainWindow::showStatusBanner(const std::string& text)
{
    clientArea_->showStatusBanner(QString::fromStdString(text));
    QCoreApplication::sendPostedEvents(busyClock_, QEvent::MetaCall);
    interrupt_->poll(true);
}

void MainWindow::enterInterruptScope()
{
    interrupt_->enterScope();
}

void MainWindow::leaveInterruptScope()
{
    interrupt_->leaveScope();
}

bool MainWindow::stopRequested()
{
    interrupt_->poll(false);
    return interrupt_->requested();
}

bool MainWindow::LockWaiter::stopAsked()
{
    window_.interrupt_->poll(true);
    return window_.interrupt_->requested();
}

QPushButton* MainWindow::interruptButton() const
{
    return interrupt_->button();
}

// Idle processing ---------------------------------------------------------------

void MainWindow::onAboutToBlock()
{
    // An operation has returned when the loop it was started from (a menu
    // command: the main loop; a dialog's button: the dialog's) goes idle. A
    // modal box shown in the middle of it runs a nested loop meanwhile.
    const int level = eventLoopLevel();
    if (busyScopes_ == 0 && level <= busyEventLoop_)
        endBusy();
    if (level <= 1 && reportView_ && reportView_->previewEnded())
        closeReportView();
}

void MainWindow::runIdleProcessing()
{
    endBusy();
    if (reportView_ && reportView_->previewEnded())
        closeReportView();
}

// Report view -------------------------------------------------------------------

void MainWindow::setReportView(ui::ReportViewBase* view)
{
    if (reportView_ && reportView_ != view)
        delete reportView_.data();
    reportView_ = view;
    clientArea_->setCoveringView(view);
}

void MainWindow::closeReportView()
{
    delete reportView_.data();
    reportView_ = nullptr;
    clientArea_->setCoveringView(nullptr);
}

void MainWindow::printCommand()
{
    if (reportView_)
        reportView_->printRequest();
}

} // namespace korvan::shell
