#pragma once

// The report-choice dialogs: 119 "Rubrica Linee Normalizzate" (authority,
// preview or print), 131 "Stampa Contratti di Servizio" and 132 "Stampa
// Contributi Aggiuntivi" (also the period and the level of detail). OK
// checks the entries (reports/ReportChoice.h) and shows the first refusal
// with the stop icon, keeping the dialog open; an accepted choice is kept
// for the next dialog as the command's kind says.

#include "reports/ReportChoice.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace korvan {
class DbConnection;
class MessageSink;
namespace ui {
class PickListCombo;
}
} // namespace korvan

namespace korvan::ui::reports {

class ReportChoiceDialog : public QDialog {
    Q_OBJECT
  public:
    ReportChoiceDialog(korvan::reports::ReportKind kind, DbConnection* connection, MessageSink& sink,
                       int& currentAuthority, std::string& periodStartText, std::string& periodEndText,
                       QWidget* parent = nullptr);

    // The accepted choice (after OK).
    const korvan::reports::ReportChoice& choice() const { return choice_; }

  public slots:
    void accept() override;

  private:
    QGroupBox* buildAuthorityGroup(DbConnection* connection);
    QGroupBox* buildOutputGroup();
    QGroupBox* buildPeriodGroup();
    QGroupBox* buildDetailGroup();
    void applyAllAuthorities(bool all);
    korvan::reports::ReportChoiceEntries entries() const;

    korvan::reports::ReportKind kind_;
    MessageSink& sink_;
    int& currentAuthority_;
    std::string& periodStartText_;
    std::string& periodEndText_;
    korvan::reports::ReportChoice choice_;

    QCheckBox* allAuthoritiesCheck_ = nullptr;
    PickListCombo* authorityCombo_ = nullptr;
    QRadioButton* previewRadio_ = nullptr;
    QRadioButton* printRadio_ = nullptr;
    QLineEdit* periodStartEdit_ = nullptr;
    QLineEdit* periodEndEdit_ = nullptr;
    QRadioButton* analyticRadio_ = nullptr;
    QRadioButton* syntheticRadio_ = nullptr;
};

// The dialog's title for a report kind.
QString reportChoiceTitle(korvan::reports::ReportKind kind);

} // namespace korvan::ui::reports
