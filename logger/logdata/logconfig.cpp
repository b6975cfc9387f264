#include "logger/logdata/logconfig.h"

#include "common/messages.h"

#include <QDir>

namespace logdata {

namespace {
const QString kDefaultConfigName = QStringLiteral("config.cfg");
}

LogConfigChoice FindLogConfig(const QString& cfgDir, qint32 configNumber) {
  const QString own = common::FindConfigFile(cfgDir, configNumber);
  if (!own.isEmpty()) return {own, true, {}};
  return {QDir(cfgDir).filePath(kDefaultConfigName), false, common::msg::ConfigNotFound(configNumber)};
}

bool ApplyLogConfig(const QString& cfgDir, qint32 configNumber, common::ChannelConfiguration& config,
                    QString* warning, QString* error) {
  const LogConfigChoice choice = FindLogConfig(cfgDir, configNumber);
  if (warning) *warning = choice.warning;
  common::ChannelConfiguration read;
  if (!common::ReadConfigFile(choice.path, read, error)) return false;
  read.ConfigNumber = configNumber;
  config = read;
  return true;
}

}  // namespace logdata
