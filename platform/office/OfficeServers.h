// The office automation servers built into the platform: "excel.application" and
// "word.application", each saving real documents chosen by the file name's extension.
#pragma once

#include "platform/TAutomation.h"

#include <QString>
#include <utility>
#include <vector>

std::vector<std::pair<QString, TAutomationFactory>> BuiltInOfficeServers();
