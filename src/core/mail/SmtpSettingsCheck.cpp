#include "core/mail/SmtpSettingsCheck.h"

bool CheckSmtpSettings(const Settings& settings) {
    return !settings.smtpName.isEmpty() && !settings.smtpEmail.isEmpty() && !settings.smtpHost.isEmpty();
}

bool CheckSmtpSettings() {
    return CheckSmtpSettings(CurrentSettings());
}
