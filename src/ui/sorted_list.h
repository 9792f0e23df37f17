// Lists that keep themselves sorted alphabetically, case ignored, as the
// season, track and backup lists do.
#pragma once

#include <QString>

class QComboBox;
class QListWidget;

namespace gm::ui {

// Inserts the text at its sorted place (after equal entries) and returns
// the index it got.
int insertSorted(QListWidget* list, const QString& text);
int insertSorted(QComboBox* combo, const QString& text);

}  // namespace gm::ui
