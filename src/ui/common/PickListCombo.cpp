#include "ui/common/PickListCombo.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLineEdit>

namespace korvan::ui {

PickListCombo::PickListCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    // Typed text is read at OK time; it never becomes an entry of its own.
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    // The line edit's completer would replace typed text with a matching
    // entry; what the user typed is what OK reads.
    setCompleter(nullptr);
    // A choice in the list (click, or Return) arrives right after the close.
    connect(this, &QComboBox::activated, this, [this] {
        if (closePending_)
            settleClose();
    });
}

void PickListCombo::showPopup()
{
    QComboBox::showPopup();
    // A click outside closes the list without hidePopup(): its window's
    // hiding tells.
    if (QWidget* list = view()->window(); list != window())
        list->installEventFilter(this);
    listOpen_ = true;
}

void PickListCombo::hidePopup()
{
    QComboBox::hidePopup();
    listClosed();
}

bool PickListCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && watched == view()->window())
        listClosed();
    return QComboBox::eventFilter(watched, event);
}

void PickListCombo::listClosed()
{
    if (!listOpen_)
        return;
    listOpen_ = false;
    closePending_ = true;
    // Closed without a choice: nothing else will come.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (closePending_)
                settleClose();
        },
        Qt::QueuedConnection);
}

void PickListCombo::settleClose()
{
    closePending_ = false;
    emit dropDownClosed();
}

void fillCombo(QComboBox* combo, const refdata::PickList& entries)
{
    clearCombo(combo);
    for (const std::string& entry : entries)
        combo->addItem(QString::fromStdString(entry));
    combo->setCurrentIndex(-1);
    if (combo->isEditable())
        combo->setEditText(QString());
}

void clearCombo(QComboBox* combo)
{
    combo->clear();
    if (combo->isEditable())
        combo->setEditText(QString());
}

refdata::PickList comboEntries(const QComboBox* combo)
{
    refdata::PickList entries;
    entries.reserve(static_cast<size_t>(combo->count()));
    for (int i = 0; i < combo->count(); ++i)
        entries.push_back(combo->itemText(i).toStdString());
    return entries;
}

std::string comboEditText(const QComboBox* combo)
{
    return combo->currentText().toStdString();
}

void selectByCode(QComboBox* combo, int code)
{
    const int index = refdata::entryIndexForCode(comboEntries(combo), code);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

int selectedCode(const QComboBox* combo)
{
    if (combo->currentIndex() < 0)
        return 0;
    return refdata::codeOfEntry(combo->itemText(combo->currentIndex()).toStdString());
}

std::optional<int> readCodeEntry(const QComboBox* combo)
{
    return refdata::readCodeEntry(comboEditText(combo), comboEntries(combo));
}

std::optional<std::string> readLineCodeEntry(const QComboBox* combo)
{
    return refdata::readLineCodeEntry(comboEditText(combo), comboEntries(combo));
}

refdata::ContractEntries contractEntries(const QComboBox* authorities, const QComboBox* companies)
{
    return {comboEditText(authorities), comboEntries(authorities), comboEditText(companies),
            [entries = comboEntries(companies)](int) { return entries; }};
}

void fillContractLists(DbConnection* connection, QComboBox* authorities, QComboBox* companies, int currentAuthority,
                       int currentCompany)
{
    fillCombo(authorities, refdata::authoritiesWithLines(connection));
    selectByCode(authorities, currentAuthority);
    fillCombo(companies, refdata::companiesOfAuthority(connection, currentAuthority));
    selectByCode(companies, currentCompany);
}

namespace {

refdata::PickList contractLines(DbConnection* connection, LineListForm form, int authority, int company)
{
    return form == LineListForm::ByCode ? refdata::contractLinesByCode(connection, authority, company)
                                        : refdata::contractLinesById(connection, authority, company);
}

} // namespace

void fillContractLineList(DbConnection* connection, QComboBox* lines, LineListForm form, int currentAuthority,
                          int currentCompany)
{
    if (currentAuthority != -1 && currentCompany != -1)
        fillCombo(lines, contractLines(connection, form, currentAuthority, currentCompany));
    else
        clearCombo(lines);
}

void connectLineCascade(DbConnection* connection, QComboBox* authorities, PickListCombo* companies, QComboBox* lines,
                        LineListForm form)
{
    QObject::connect(companies, &PickListCombo::dropDownClosed, lines, [=] {
        fillCombo(lines, contractLines(connection, form, selectedCode(authorities), selectedCode(companies)));
    });
}

void connectCompanyCascade(DbConnection* connection, PickListCombo* authorities, QComboBox* companies)
{
    QObject::connect(authorities, &PickListCombo::dropDownClosed, companies, [=] {
        fillCombo(companies, refdata::companiesOfAuthority(connection, selectedCode(authorities)));
    });
}

} // namespace korvan::ui
