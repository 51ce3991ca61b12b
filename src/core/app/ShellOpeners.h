#pragma once

// Opening the help and the maker's web site with the desktop's own programs.

// Opens the help file of the program folder; when it is missing, or when no program opens it, says so (with the
// page's path). True when the desktop opened it.
bool OpenHelp();
// Opens the maker's web site. True when the opening was asked of the desktop.
bool OpenWebSite();
