#include "platform/office/OfficeServers.h"

#include "platform/office/TExcelServer.h"
#include "platform/office/TWordServer.h"

std::vector<std::pair<QString, TAutomationFactory>> BuiltInOfficeServers()
{
    return { { QStringLiteral("excel.application"), &TExcelServer::CreateApplication },
        { QStringLiteral("word.application"), &TWordServer::CreateApplication } };
}
