#pragma once

#include "core/app/Settings.h"

// The sender name, the sender address and the server name are all given, tested in this order: mail can be
// sent. Shows nothing; the document panels and the main window enable their e-mail commands by it.
bool CheckSmtpSettings(const Settings& settings);

// The same question about the settings in use.
bool CheckSmtpSettings();
