#include "ui/sorted_list.h"

#include <QComboBox>
#include <QListWidget>

namespace gm::ui {

namespace {

template <typename TextAt>
int sortedPlace(int count, const QString& text, TextAt textAt)
{
    int low = 0;
    int high = count;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (QString::compare(textAt(mid), text, Qt::CaseInsensitive) <= 0) {
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
