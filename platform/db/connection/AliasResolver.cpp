#include "db/connection/AliasResolver.h"

namespace {

class TNoAliases : public TAliasResolver {
  public:
    QStringList AliasNames() const override { return {}; }
    std::optional<QString> ConnectionString(const QString&) const override { return {}; }
};

std::unique_ptr<TAliasResolver>& Installed() {
    static std::unique_ptr<TAliasResolver> resolver = std::make_unique<TNoAliases>();
    return resolver;
}

}  // namespace

TAliasResolver& AliasResolver() {
    return *Installed();
}

std::unique_ptr<TAliasResolver> SetAliasResolver(std::unique_ptr<TAliasResolver> resolver) {
    if (!resolver)
        resolver = std::make_unique<TNoAliases>();
    return std::exchange(Installed(), std::move(resolver));
}
