#pragma once

// What the main window needs from a report view shown in its client area:
// whether its print preview has ended (then the idle processing closes it)
// and the print request forwarded from the preview window's print button.

#include <QWidget>

namespace korvan::ui {

class ReportViewBase : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    ~ReportViewBase() override = default;

    virtual bool previewEnded() const = 0;
    virtual void printRequest() = 0;
};

} // namespace korvan::ui
