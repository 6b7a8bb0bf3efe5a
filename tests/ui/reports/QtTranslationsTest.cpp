// Qt's own dialogs in Italian once the program has installed Qt's Italian
// translations: the file dialog, the standard buttons, the print set-up and
// the print preview, whose print button and page mode the report view still
// finds by their (now Italian) texts.

#include "ReportsTestSupport.h"
#include "support/RecordingMessageSink.h"
#include "support/TestSupport.h"

#include "ui/common/QtTranslations.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTest>

using namespace korvan;
using namespace korvan::test;

namespace {

QStringList actionTexts(QWidget& window)
{
    QStringList texts;
    for (const QAction* action : window.findChildren<QAction*>())
        texts << action->text();
    return texts;
}

} // namespace

class QtTranslationsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QVERIFY(ui::installItalianQtTranslations(*qApp)); }

    void theStandardDialogsSpeakItalian()
    {
        QFileDialog files(nullptr, QStringLiteral("Salva PDF"));
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setAcceptMode(QFileDialog::AcceptSave);
        QCOMPARE(files.findChild<QLabel*>("lookInLabel")->text(), QStringLiteral("Cerca in:"));

        QDialogButtonBox buttons(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Annulla"));
        QCOMPARE(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("Salva"));

        QPrinter printer;
        QPrintDialog setUp(&printer);
        QCOMPARE(setUp.windowTitle(), QStringLiteral("Stampa"));

        QPrintPreviewDialog preview(&printer);
        const QStringList texts = actionTexts(preview);
        QVERIFY(texts.contains(QStringLiteral("Stampa")));
        QVERIFY(texts.contains(QStringLiteral("Adatta alla larghezza")));
    }

    void theReportPreviewStillFindsItsButtonsInItalian()
    {
        RecordingMessageSink sink;
        ReportHostWindow window(sink);
        TempDir dir;
        auto* view = new ui::reports::ReportView(window.viewHost());
        window.showView(view);
        view->attachReport(smallDirectory(120));
        view->setPrinterFactory(pdfPrinterInto(dir.file("anteprima.pdf")));
        whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
        bool printAction = false;
        QPrintPreviewWidget::ViewMode mode = QPrintPreviewWidget::FacingPagesView;
        QPrintPreviewWidget::ZoomMode zoom = QPrintPreviewWidget::CustomZoom;
        connect(view, &ui::reports::ReportView::previewShown, this, [&](QPrintPreviewDialog* dialog) {
            printAction = dialog->findChild<QAction*>("previewPrintAction") != nullptr;
            mode = dialog->findChild<QPrintPreviewWidget*>()->viewMode();
            zoom = dialog->findChild<QPrintPreviewWidget*>()->zoomMode();
            dialog->reject();
        });
        view->startPreview();
        QVERIFY(printAction);
        QCOMPARE(mode, QPrintPreviewWidget::SinglePageView);
        QCOMPARE(zoom, QPrintPreviewWidget::FitToWidth);
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "QtTranslationsTest.moc"
