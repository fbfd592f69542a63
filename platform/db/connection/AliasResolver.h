#pragma once

#include <QStringList>
#include <memory>
#include <optional>

// Where alias names of the session come from and the connection string each stands for.
// Until an alias file is configured there are none.
class TAliasResolver {
  public:
    virtual ~TAliasResolver() = default;
    virtual QStringList AliasNames() const = 0;
    // The connection string of an alias (names compare case-insensitively); none if unknown.
    virtual std::optional<QString> ConnectionString(const QString& alias) const = 0;
};

// The resolver in force; one without aliases unless another was installed.
TAliasResolver& AliasResolver();
// Installs a resolver and returns the previous one.
std::unique_ptr<TAliasResolver> SetAliasResolver(std::unique_ptr<TAliasResolver> resolver);
