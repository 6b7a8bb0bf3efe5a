#include "shell/DataSourceDialog.h"

#include "db/Values.h"
#include "db/odbc/OdbcDataSources.h"
#include "ui/common/DialogUnits.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace korvan::shell {

namespace {

constexpr int kSizeFieldMaxLength = 4;

const char* const kOrdinarySizeMissing = "Occorre indicare la dimensione del rowset per dati di tipo ordinario !!!";
const char* const kBlobSizeMissing = "Occorre indicare la dimensione del rowset per dati di tipo BLOB !!!";
const char* const kDsnMissing = "Occorre specificare il DSN per potere effettuare la connessione ODBC.";

QLabel* addLabel(QWidget* dialog, const char* text, const QRect& geometry)
{
    auto* label = new QLabel(QString::fromUtf8(text), dialog);
    label->setGeometry(geometry);
    label->resize(std::max(geometry.width(), label->sizeHint().width()), geometry.height() + 4);
    return label;
}

QLineEdit* addSizeField(QWidget* dialog, int value, const QRect& geometry, const char* name)
{
    auto* field = new QLineEdit(QString::number(value), dialog);
    field->setObjectName(name);
    field->setMaxLength(kSizeFieldMaxLength);
    field->setAlignment(Qt::AlignRight);
    field->setGeometry(geometry);
    return field;
}

} // namespace

DataSourceDialog::DataSourceDialog(MessageSink& sink, QWidget* parent) : QDialog(parent), sink_(sink)
{
    setWindowTitle("Selezione DataSource");
    const ui::DialogUnits units(fontMetrics());

    // Positions in dialog units; a label wider in this font than in the
    // layout's pushes its field (and the dialog edge) to the right.
    QLabel* dsnLabel = addLabel(this, "DSN:", units.rect(7, 10, 18, 8));
    dsnField_ = new QComboBox(this);
    dsnField_->setObjectName("dsnField");
    dsnField_->setEditable(true);
    dsnField_->setInsertPolicy(QComboBox::NoInsert);
    const int dsnX = std::max(units.x(27), dsnLabel->geometry().right() + units.x(2));
    // Only the closed height of the drop-down list is laid out here.
    dsnField_->setGeometry(dsnX, units.y(7), units.x(27 + 152) - dsnX, units.y(14));

    QLabel* ordinaryLabel = addLabel(this, "RowsetSize (Dati Ordinari)", units.rect(7, 30, 110, 8));
    QLabel* blobLabel = addLabel(this, "RowsetSize (Dati BLOB)", units.rect(7, 50, 90, 8));
    const int sizeX = std::max(
        {units.x(120), ordinaryLabel->geometry().right() + units.x(3), blobLabel->geometry().right() + units.x(3)});
    ordinarySizeField_ = addSizeField(this, choice_.rowsetSizeOrdinary,
                                      QRect(sizeX, units.y(27), units.x(30), units.y(14)), "ordinarySize");
    blobSizeField_ =
        addSizeField(this, choice_.rowsetSizeBlob, QRect(sizeX, units.y(47), units.x(30), units.y(14)), "blobSize");
    setFixedSize(std::max(units.x(186), ordinarySizeField_->geometry().right() + units.x(7)), units.y(90));

    okButton_ = new QPushButton("OK", this);
    okButton_->setGeometry(units.rect(36, 70, 50, 14));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton("Annulla", this);
    cancelButton_->setGeometry(units.rect(91, 70, 50, 14));
    connect(okButton_, &QPushButton::clicked, this, &DataSourceDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &DataSourceDialog::reject);

    fillDataSourceList();
    dsnField_->setEditText(QString());
}

void DataSourceDialog::fillDataSourceList()
{
    std::vector<OdbcDataSource> sources;
    if (!listOdbcDataSources(sources)) {
        sink_.showMessage(kOdbcEnvironmentMessage, MessageIcon::Error);
        return;
    }
    for (const OdbcDataSource& source : sources)
        dsnField_->addItem(QString::fromStdString(source.name));
}

void DataSourceDialog::accept()
{
    // A text that is not a number counts as 0; "-5" passes as it is.
    const int ordinary = static_cast<int>(parseIntegerText(ordinarySizeField_->text().toStdString()));
    if (ordinary == 0) {
        sink_.showMessage(kOrdinarySizeMissing, MessageIcon::Error);
        return;
    }
    const int blob = static_cast<int>(parseIntegerText(blobSizeField_->text().toStdString()));
    if (blob == 0) {
        sink_.showMessage(kBlobSizeMissing, MessageIcon::Error);
        return;
    }
    const std::string dsn = dsnField_->currentText().toStdString();
    if (dsn.empty()) {
        sink_.showMessage(kDsnMissing, MessageIcon::Error);
        return;
    }
    std::vector<OdbcDataSource> sources;
    if (!listOdbcDataSources(sources)) {
        sink_.showMessage(kOdbcEnvironmentMessage, MessageIcon::Error);
        return;
    }
    choice_ = DataSourceChoice{dsn, "", ordinary, blob};
    for (const OdbcDataSource& source : sources) {
        if (source.name == dsn) {
            choice_.driver = source.description;
            break;
        }
    }
    QDialog::accept();
}

} // namespace korvan::shell
