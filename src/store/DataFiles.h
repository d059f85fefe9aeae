#pragma once
// The data files the program keeps open from start to exit.
#include "store/AttachmentIndex.h"
#include "store/CardFile.h"

namespace zelm {

struct DataFiles {
    CardFile main;        // Baza/Anketi.dat
    CardFile archive;     // Baza/ArhAnket.dat
    CardFile working;     // Temp/RabAnket.dat
    CardFile attachments; // Baza/SpisFil.dat
    CardFile access;      // Dostup.dat, opened by the login window
    AttachmentIndex attachmentIndex;
};

// Closes the Main card file, the access table, the Archive, the Working card file and the
// attached-file list, in that order. Every file is closed even when one fails; the first
// failure is thrown after.
void CloseAllFiles(DataFiles& files);

} // namespace zelm
