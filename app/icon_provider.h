#pragma once

// The program's icons: one small SVG set in the resource file, looked up by
// name or by the list's icon index and cached after the first use.

#include <QIcon>
#include <QString>

class TIconProvider {
 public:
  // An icon of the set by its name ("add-files", "velloran", ...).
  static QIcon Icon(const QString& name);
  // The list's icon of the given index (row icons, lyrics, picture); an
  // empty icon for an index the set does not have.
  static QIcon ListIcon(int index);
};
