#pragma once
// The user guide: written into Help/ReadMe.doc when missing, opened through the Office
// interface.
namespace zelm {
class Installation;
class Platform;
// Writes the user guide into Help/ReadMe.doc when it is missing there.
void installHelpDocument(const Installation& inst);
// Opens the user guide in the word processor and shows it; an Office failure is raised as
// OfficeError.
void openHelpDocument(Platform& platform, const Installation& inst);
// Opens the user guide at the second "Если у Вас сеть": recovery and work on a network.
void openNetworkHelp(Platform& platform, const Installation& inst);
} // namespace zelm
