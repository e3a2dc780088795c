#include "desktop.h"

FakeDesktop::FakeDesktop() {
    Shell::setLauncher([this](const QString& program, const QStringList& arguments,
                              const Shell::FailureHandler& onFailure) {
        launches.append({program, arguments});
        lastFailure = onFailure;
        return starts;
    });
    Shell::setDefaultApplicationQuery([this](const QString& mimeType) { return defaults.value(mimeType); });
}

FakeDesktop::~FakeDesktop() {
    Shell::setLauncher({});
    Shell::setDefaultApplicationQuery({});
}
