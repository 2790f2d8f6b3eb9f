#include "app/icon_provider.h"

#include <QHash>

#include "app/node_data.h"

// The icons live in a static library, whose resource registration the
// linker would drop unless something calls it.
static void InitIconResource() { Q_INIT_RESOURCE(icons); }

QIcon TIconProvider::Icon(const QString& name) {
  static QHash<QString, QIcon> cache;
  static const bool registered = (InitIconResource(), true);
  (void)registered;
  auto it = cache.find(name);
  if (it == cache.end()) it = cache.insert(name, QIcon(QStringLiteral(":/icons/%1.svg").arg(name)));
  return *it;
}

QIcon TIconProvider::ListIcon(int index) {
  switch (index) {
    case riId3Both: return Icon(QStringLiteral("row-id3-both"));
    case riId3None: return Icon(QStringLiteral("row-id3-none"));
    case riId3V1: return Icon(QStringLiteral("row-id3-v1"));
    case riId3V2: return Icon(QStringLiteral("row-id3-v2"));
    case riOggTag: return Icon(QStringLiteral("row-ogg-tag"));
    case riOggNoTag: return Icon(QStringLiteral("row-ogg-notag"));
    case riWmaTag: return Icon(QStringLiteral("row-wma-tag"));
    case riWmaNoTag: return Icon(QStringLiteral("row-wma-notag"));
    case riApeTag: return Icon(QStringLiteral("row-ape-tag"));
    case riApeNoTag: return Icon(QStringLiteral("row-ape-notag"));
    case riUnknown: return Icon(QStringLiteral("row-unknown"));
    case riPicture: return Icon(QStringLiteral("picture"));
    case riLyrics: return Icon(QStringLiteral("lyrics"));
    default: return {};
  }
}
