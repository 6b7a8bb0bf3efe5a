#pragma once

// The run browser: a modal window over the main window's client area with
// three labels (authority, company, line), the run list window and the
// command bar. It holds the one long transaction of the browser: begun by
// the first change (with the contract's lock), kept by "Aggiorna Vista",
// undone by "Ripristina", kept by "Fine" and Escape.

#include "runs/BrowserTransaction.h"
#include "runs/RunListLoader.h"
#include "runs/RunListMarks.h"
#include "runs/RunListModel.h"
#include "ui/runs/RunSplitViews.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
} // namespace korvan

namespace korvan::ui {
class SaveFolder;
}

namespace korvan::ui::runs {

class ListWindow;
class RunListClient;

class RunBrowserDialog : public QDialog {
    Q_OBJECT
  public:
    // `authority` and `company` are the current contract, read to pre-fill
    // the line choice and written back by it.
    RunBrowserDialog(DbConnection* connection, MessageSink& sink, OperationFeedback& feedback, int& authority,
                     int& company, RunSplitViews& views, QWidget* parent = nullptr);
    ~RunBrowserDialog() override;

    // Opens the transaction (which begins at the first change); false
    // without a connection.
    bool beginTransaction();
    // Lays the window over `area` (the main window's client area) and
    // keeps it there when the area moves or changes size.
    void placeOver(QWidget* area);
    // Runs the line choice once the window's own loop runs, then shows it
    // modally until it ends.
    int exec() override;

    // A command of the bar or of the pop-up menu.
    void runCommand(int commandId);
    // Shows the runs of a line (what the line choice does on OK).
    void showLine(const korvan::runs::RunListKey& key);
    // The "Fine" path: keeps the pending work and closes. False when the
    // work could not be kept and the browser stays open.
    bool finishAndClose();

    ListWindow* listWindow() const { return list_; }
    korvan::runs::RunListModel* model() const { return model_.get(); }
    const korvan::runs::BrowserTransaction& transaction() const { return transaction_; }
    QLabel* authorityLabel() const { return labels_[0]; }
    QLabel* companyLabel() const { return labels_[1]; }
    QLabel* lineLabel() const { return labels_[2]; }
    QPushButton* button(int commandId) const;

    // Where "Salva CSV..." says the file went (the main window's status
    // line), and the folder it proposes, shared with the program's other
    // saves; without one the browser keeps its own.
    void setStatusLine(std::function<void(const QString&)> show) { statusLine_ = std::move(show); }
    void setSaveFolder(std::shared_ptr<SaveFolder> folder);

  public slots:
    // Escape and the close box end the browser as "Fine" does.
    void reject() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The cursor by run: which run, and its row on the screen (-1: out of
    // view), so that it stays on that run through a sort or a reload.
    struct CursorPlace {
        long runId = -1;
        int screenRow = -1;
    };

    void chooseLine();
    // Reads the line again, in the order it is shown, keeping the cursor,
    // the selection and the marks of the pending changes on their runs.
    void reload();
    void sortBy(char order);
    CursorPlace cursorPlace() const;
    void placeCursor(const CursorPlace& place);
    void editRunAccounting();
    // Ctrl+F: the cursor to the run of a code or ID the user types.
    void findRun();
    // Ctrl+C: the selected runs (or the cursor run) to the clipboard as CSV.
    void copyRuns();
    // "Salva CSV...": the whole list, in its order, into a file.
    void saveList();
    void showCursorRun();
    void openView(bool calendar);
    korvan::runs::RunRow* cursorRun();
    void layOut();
    void coverArea();

    DbConnection* connection_;
    MessageSink& sink_;
    OperationFeedback& feedback_;
    int& authority_;
    int& company_;
    RunSplitViews& views_;
    korvan::runs::BrowserTransaction transaction_;
    korvan::runs::RunListKey key_;
    bool lineChosen_ = false;
    std::unique_ptr<korvan::runs::RunListModel> model_;
    korvan::runs::RunListMarks marks_;
    std::unique_ptr<RunListClient> client_;
    QLabel* labels_[3];
    ListWindow* list_;
    std::vector<std::pair<int, QPushButton*>> buttons_;
    bool finished_ = false;
    QString findText_;
    std::function<void(const QString&)> statusLine_;
    std::shared_ptr<SaveFolder> saveFolder_;
    QPointer<QWidget> area_;
};

// What the main window lends the browser while it is open.
struct BrowserHost {
    // Given the browser's "Fine" path while it is open, and an empty
    // function after: closing the program or the connection runs it first.
    std::function<void(std::function<bool()>)> registerCloser;
    // The status line, where "Salva CSV..." says where the file went.
    std::function<void(const QString&)> showStatus;
    // The folder of the program's last save.
    std::shared_ptr<SaveFolder> saveFolder;
};

// Menu command "&Corse": opens the browser over `clientArea` (when its
// transaction can begin) and runs it to its end.
void runBrowserCommand(QWidget* clientArea, DbConnection* connection, MessageSink& sink, OperationFeedback& feedback,
                       int& authority, int& company, const BrowserHost& host);

} // namespace korvan::ui::runs
