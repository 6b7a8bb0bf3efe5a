#pragma once

// The one main window: owns the database session (settings fields and the
// connection), the command menu, the client area with the background
// picture, the busy clock and the report view while one is shown. Every
// operation is started from its menu and borrows its connection for the
// length of the operation.

#include "core/LockWaiting.h"
#include "core/OperationFeedback.h"
#include "shell/DataSourceDialog.h"
#include "shell/DatabaseSession.h"
#include "shell/GtfsImportCommand.h"
#include "shell/Settings.h"
#include "ui/common/ReportViewBase.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;

namespace korvan::shell {

class BusyClockWidget;
class ClientAreaWidget;
class OperationInterrupt;

class MainWindow : public QMainWindow, public OperationFeedback {
    Q_OBJECT
  public:
    static constexpr int kProgressBarId = 6002;

    // `settings` is the INI store (SettingsStore::standard() for the
    // program; a file name: that file alone); `sink` receives every message
    // of the shell and of the connection.
    MainWindow(SettingsStore settings, MessageSink& sink, QWidget* parent = nullptr);
    MainWindow(const QString& settingsFile, MessageSink& sink, QWidget* parent = nullptr);
    // Closes the connection and saves the settings unless exit already did.
    ~MainWindow() override;

    // Shows the window maximized, loads the settings, tells when no database
    // is associated and connects.
    void startUp();

    // The connection, or nullptr; only for the length of one operation.
    DbConnection* connection() const { return session_.connection(); }
    const DatabaseSession& session() const { return session_; }
    MessageSink& messageSink() const { return sink_; }
    OperationFeedback& feedback() { return *this; }

    bool connectToDatabase();
    void closeConnection();
    void setMainTitle();

    // OperationFeedback
    void beginBusy(bool showClock) override;
    void enterBusyScope(bool showClock) override;
    void leaveBusyScope() override;
    void setProgress(int percent) override;
    void endProgress() override;
    void showStatusBanner(const std::string& text) override;
    // The "Interrompi" button and Escape while an operation works
    // (OperationInterrupt).
    void enterInterruptScope() override;
    void leaveInterruptScope() override;
    bool stopRequested() override;

    // The operation run by a data command; a command without one does
    // nothing. Handlers of the shell's own commands cannot be replaced.
    void setCommandHandler(int commandId, std::function<void()> handler);
    QAction* commandAction(int commandId) const;
    // Applies the enabling rule (data commands only with an open connection).
    void updateCommandEnabling();

    // The idle processing: stops the busy clock, restores the pointer,
    // closes an ended report view. Run when the event queue has become empty:
    // the busy part in the event loop the operation was started from (or an
    // outer one) once no BusyScope is open, the report part in the main loop.
    void runIdleProcessing();

    // The report view shown over the client area (the window owns it).
    void setReportView(ui::ReportViewBase* view);
    void closeReportView();
    ui::ReportViewBase* reportView() const { return reportView_; }
    // The print command (no menu entry): forwarded to the report view.
    void printCommand();

    // The current contract and period shared by the contract, period and
    // report dialogs (authority and company -1: none); not saved. The
    // dialogs update them through current().
    struct CurrentContract {
        int authority = -1;
        int company = -1;
        std::string periodStartText; // "dd/mm/yyyy" of the last accepted period
        std::string periodEndText;
    };
    CurrentContract& current() { return current_; }
    int currentAuthority() const { return current_.authority; }
    int currentCompany() const { return current_.company; }
    const std::string& periodStartText() const { return current_.periodStartText; }
    const std::string& periodEndText() const { return current_.periodEndText; }

    // Repaints the client area at once (erase, invalidate, update), which
    // also removes a status banner.
    void repaintClientArea();

    // Work left open on the connection while a modal window runs (the run
    // browser's pending changes): exit and every command that closes the
    // connection run `closer` first, and stop when it returns false. An
    // empty function clears it.
    void setOpenWorkCloser(std::function<bool()> closer) { openWorkCloser_ = std::move(closer); }
    bool finishOpenWork();

    // The database commands and the about box.
    void chooseSqliteDatabase();
    void chooseOdbcSource();
    void disconnectDatabase();
    // A new runs database from a GTFS feed, connected when it is made.
    void importGtfsFeed();
    void showAbout();
    std::string aboutText() const;

    BusyClockWidget* busyClock() const { return busyClock_; }
    ClientAreaWidget* clientArea() const { return clientArea_; }
    QProgressBar* progressBar() const { return progressBar_; }
    // The "Interrompi" button while an operation the user may stop works.
    QPushButton* interruptButton() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

    // The modal choices of the database commands; nothing on cancel.
    virtual std::optional<QString> promptSqliteFile();
    virtual std::optional<DataSourceChoice> promptDataSource();
    virtual std::optional<GtfsImportChoice> promptGtfsImport();

    // Writes the four settings (after the connection was closed at exit).
    virtual void saveSettings();
    void loadSettings();

  private:
    void runCommand(int commandId);
    // After a connect, a disconnect or a failed connection: the commands'
    // enabling, the title and the status line follow the connection.
    void showConnection();
    // Another database (or none) from now on: the current contract and
    // period came from the previous one, where the same codes may name
    // other authorities and companies.
    void forgetCurrentContract();
    void onAboutToBlock();
    void endBusy();
    void restorePointer();
    // closeConnection then saveSettings, once.
    void shutDown();

    MessageSink& sink_;
    SettingsStore settingsStore_;
    // A colleague's work: waited for until the user stops, except changes
    // pending in a run browser, refused at once. Between two short waits the
    // windows are drawn and "Interrompi" and Escape are taken.
    class LockWaiter : public FeedbackLockWaiter {
      public:
        explicit LockWaiter(MainWindow& window) : FeedbackLockWaiter(window, LockWaitPolicy{}), window_(window) {}

      protected:
        bool stopAsked() override;

      private:
        MainWindow& window_;
    };
    LockWaiter lockWaiter_{*this};
    DatabaseSession session_;
    std::map<int, QAction*> actions_;
    std::map<int, std::function<void()>> handlers_;
    ClientAreaWidget* clientArea_ = nullptr;
    BusyClockWidget* busyClock_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    OperationInterrupt* interrupt_ = nullptr;
    QLabel* databaseLabel_ = nullptr;
    QPointer<ui::ReportViewBase> reportView_;
    bool waitCursor_ = false;
    // The innermost event loop (1 = the main loop) whose idle moment ends the
    // busy indicator; kAnyEventLoop when none is running or any may end it.
    static constexpr int kAnyEventLoop = 1 << 30;
    int busyEventLoop_ = kAnyEventLoop;
    int busyScopes_ = 0;
    bool shutDown_ = false;

    CurrentContract current_;
    std::function<bool()> openWorkCloser_;
};

} // namespace korvan::shell
