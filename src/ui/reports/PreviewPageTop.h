#pragma once

// Keeps the print preview on the top of its current page. Fitting a page to
// the window's width, Qt leaves the view wherever keeping the page in sight
// puts it, often on the page's bottom: after every resize of the preview
// (the window opening maximized, the user resizing it) the view is moved to
// the current page's top, where the report's header is.

#include <QObject>

class QPrintPreviewWidget;

namespace korvan::ui::reports {

class PreviewPageTop : public QObject {
    Q_OBJECT
  public:
    // Watches `pages` for as long as it lives.
    explicit PreviewPageTop(QPrintPreviewWidget* pages);

    // Moves the view to the top of the current page now.
    static void showPageTop(QPrintPreviewWidget* pages);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPrintPreviewWidget* pages_;
};

} // namespace korvan::ui::reports
