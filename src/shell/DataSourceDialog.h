#pragma once

// "Selezione DataSource": choose an ODBC data source (listed from the driver
// manager or typed) and the two rowset sizes. It always opens with an empty
// DSN and sizes 25 and 1, not the current settings.

#include "db/MessageSink.h"

#include <QDialog>

#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace korvan::shell {

struct DataSourceChoice {
    std::string dsn;
    std::string driver; // the DSN's driver description; "" when not listed
    int rowsetSizeOrdinary = 25;
    int rowsetSizeBlob = 1;
};

class DataSourceDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kDsnFieldId = 1001;
    static constexpr int kOrdinarySizeFieldId = 1002;
    static constexpr int kBlobSizeFieldId = 1003;

    explicit DataSourceDialog(MessageSink& sink, QWidget* parent = nullptr);

    // Valid after the dialog was accepted.
    const DataSourceChoice& choice() const { return choice_; }

    QComboBox* dsnField() const { return dsnField_; }
    QLineEdit* ordinarySizeField() const { return ordinarySizeField_; }
    QLineEdit* blobSizeField() const { return blobSizeField_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

    // Validates in order (ordinary size, BLOB size, DSN), shows the first
    // failure and stays open; otherwise looks up the DSN's driver and closes.
    void accept() override;

  private:
    void fillDataSourceList();

    MessageSink& sink_;
    DataSourceChoice choice_;
    QComboBox* dsnField_;
    QLineEdit* ordinarySizeField_;
    QLineEdit* blobSizeField_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

} // namespace korvan::shell
