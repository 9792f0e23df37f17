// Lists that keep themselves sorted alphabetically, case ignored, as the
// season, track and backup lists do.
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QListWidget;

namespace gm::ui {

// The order of the sorted lists: the user's collation with case ignored
// (QCollator), so that "Été" sorts with the E's and "Österreich" with the
// O's. Where the system names no language (the C locale) the common
// collation of the Unicode tables is used. Negative, 0 or positive.
int compareNames(const QString& a, const QString& b);

// Sorts names in that order (stable: equal names keep their order).
void sortNames(QStringList& names);

// Inserts the text at its sorted place (after equal entries) and returns
// the index it got.
int insertSorted(QListWidget* list, const QString& text);
int insertSorted(QComboBox* combo, const QString& text);

}  // namespace gm::ui
