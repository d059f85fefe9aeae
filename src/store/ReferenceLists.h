#pragma once
// The twelve reference lists behind the card window's combo boxes: one text file each in Baza.
#include <QString>
#include <QStringList>
#include <array>

namespace zelm {

class Installation;

struct ReferenceListDef {
    const char* file;     // in Baza
    const char* comboBox; // objectName of the combo box (the card field)
    int capacity;         // of the card field
};

// In the order in which the start-up loads them.
const std::array<ReferenceListDef, 12>& referenceLists();
QString referenceListPath(const Installation& inst, const ReferenceListDef& def);

// Creates each missing list file; on a new installation the lists get their starting entries,
// otherwise a missing file is created empty. An existing file is never touched.
void createMissingReferenceLists(const Installation& inst, bool newInstallation);
QStringList defaultEntries(const ReferenceListDef& def);

} // namespace zelm
