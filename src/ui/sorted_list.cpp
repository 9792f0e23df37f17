#include "ui/sorted_list.h"

#include <QCollator>
#include <QComboBox>
#include <QListWidget>
#include <QLocale>
#include <algorithm>

namespace gm::ui {

namespace {

const QCollator& collator()
{
    static const QCollator instance = [] {
        QLocale locale;
        if (locale.language() == QLocale::C) {
            // English collation is the root collation of the Unicode tables.
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        }
        QCollator c(locale);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    return instance;
}

}  // namespace

int compareNames(const QString& a, const QString& b)
{
    return collator().compare(a, b);
}

void sortNames(QStringList& names)
{
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& a, const QString& b) { return compareNames(a, b) < 0; });
}

namespace {

template <typename TextAt>
int sortedPlace(int count, const QString& text, TextAt textAt)
{
    int low = 0;
    int high = count;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (compareNames(textAt(mid), text) <= 0) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

}  // namespace

int insertSorted(QListWidget* list, const QString& text)
{
    const int row = sortedPlace(list->count(), text, [list](int i) { return list->item(i)->text(); });
    list->insertItem(row, text);
    return row;
}

int insertSorted(QComboBox* combo, const QString& text)
{
    const int row = sortedPlace(combo->count(), text, [combo](int i) { return combo->itemText(i); });
    combo->insertItem(row, text);
    return row;
}

}  // namespace gm::ui
