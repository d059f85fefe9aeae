#pragma once
// The default templates of the card's two documents, carried in the program.
namespace zelm {

class Installation;

// Writes Otveti/BlankFirma.doc (a letter on the owner's letterhead holding all 23
// placeholders) and WhodWord/Blank.doc (a note sheet) where they are missing; templates the
// owner has edited are never touched. Both are RTF, which Word and LibreOffice open under a
// .doc name. FileError when a missing template cannot be written.
void writeMissingOfficeTemplates(const Installation& inst);

} // namespace zelm
