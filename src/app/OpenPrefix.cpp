// SPDX-License-Identifier: MIT
#include "app/OpenPrefix.h"

#include "app/FoundPrefixes.h"
#include "app/ModMain.h"
#include "session/LastPrefix.h"
#include "system/clsSystem.h"
#include "ui/MessageService.h"
#include "ui/main/PrefixCatalogue.h"

namespace tw {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

QString joined(const std::vector<std::string>& parts)
{
    QStringList list;
    for (const std::string& part : parts)
        list << q(part);
    return list.join(QStringLiteral(", "));
}

bool showsWow32(const Application& app)
{
    return app.session.registryView && app.session.registryView->wow32();
}

class ApplicationPrefixes : public PrefixCatalogue
{
public:
    explicit ApplicationPrefixes(Application& app)
        : m_app(app)
    { }

    QList<CataloguedPrefix> prefixes(QStringList& warnings) override
    {
        const FoundPrefixes found = findPrefixes(showsWow32(m_app));
        for (const std::string& w : found.warnings)
            warnings << q(w);
        QList<CataloguedPrefix> list;
        for (const FoundPrefix& p : found.prefixes) {
            list.append({ joined(p.frontEnds), joined(p.names), q(p.path),
                p.programs ? static_cast<int>(*p.programs) : -1, q(p.error) });
        }
        return list;
    }

    bool open(const QString& folder, QWidget* parent) override
    {
        return openPrefix(m_app, folder.toStdString(), parent);
    }

private:
    Application& m_app;
};

} // namespace

bool openPrefix(Application& app, const std::string& folder, QWidget* parent)
{
    RegistryRequest request;
    request.prefix = folder;
    request.wow32 = showsWow32(app);
    OpenedRegistry opened = openRegistry(request, app.context.appFolder);
    if (!opened.api) {
        app.messages->critical(parent, q(app.context.title), q(opened.error));
        return false;
    }
    app.context.osName = clsSystem(*opened.systemCalls()).sysInfo();
    const std::string prefix = opened.prefix;
    app.adopt(std::move(opened));
    rememberPrefix(paths::userDataFolder(), prefix);
    return true;
}

std::unique_ptr<PrefixCatalogue> makePrefixCatalogue(Application& app)
{
    if (!findsPrefixes())
        return nullptr;
    return std::make_unique<ApplicationPrefixes>(app);
}

} // namespace tw
