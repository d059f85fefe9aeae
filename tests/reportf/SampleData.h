#pragma once
// Report data files exactly as the card index writes them (Windows-1251, CR LF): a full card,
// a list of measures, an envelope. The cards have three-line memos.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zelm::reportf::sample {

// One card of the list of measures, its 18 items in the card index's order.
QList<QPair<QString, QString>> listCard(int number);

QByteArray fullCardFile();             // PolnDat.txt
QByteArray measureListFile(int cards); // KnigaDat.txt; 0 cards is an empty Working card file
QByteArray envelopeFile();             // KonA8Dat.txt and KonA9Dat.txt

// Writes PolnDat.txt, KnigaDat.txt (two cards), KonA8Dat.txt and KonA9Dat.txt into `folder`.
void writeAll(const QString& folder);
void writeFile(const QString& path, const QByteArray& bytes);

inline const QString kOwner = QStringLiteral("УМВД России по г. Твери");
inline const QString kRecipient = QStringLiteral("Иванову Ивану Ивановичу");

} // namespace zelm::reportf::sample
