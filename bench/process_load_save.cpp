// One library as a whole program, as a player's run pays for it: start, load one file into
// something a program can use, write it all back, exit. Built once per library (KOV_PEER_*).
// Usage: load_save_<library> INPUT OUTPUT
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#if defined(KOV_PEER_OURS)
#include "configuration_store.h"
#elif defined(KOV_PEER_INIH)
#include <ini.h>
#elif defined(KOV_PEER_SIMPLEINI)
#include <SimpleIni.h>
#elif defined(KOV_PEER_BOOST)
#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#elif defined(KOV_PEER_QSETTINGS)
#include <QCoreApplication>
#include <QSettings>
#endif

namespace {

#if defined(KOV_PEER_INIH)
using Sections = std::map<std::string, std::map<std::string, std::string>>;

int Keep(void* user, const char* section, const char* name, const char* value) {
    (*static_cast<Sections*>(user))[section][name] = value;
    return 1;
}
#endif

int Run(const char* input, const char* output) {
#if defined(KOV_PEER_OURS)
    kov::ConfigurationStore store;
    std::FILE* in = std::fopen(input, "rb");
    if (in == nullptr) return 1;
    store.ReadFromFile(in);
    std::fclose(in);
    std::FILE* out = std::fopen(output, "wb");
    if (out == nullptr) return 1;
    store.WriteToFile(out);
    return std::fclose(out) == 0 ? 0 : 1;
#elif defined(KOV_PEER_INIH)
    Sections sections;
    if (ini_parse(input, Keep, &sections) < 0) return 1;
    std::string text;
    for (const auto& [section, keys] : sections) {
        text += "[" + section + "]\n";
        for (const auto& [name, value] : keys) text += name + "=" + value + "\n";
        text += "\n";
    }
    std::ofstream(output, std::ios::binary) << text;
    return 0;
#elif defined(KOV_PEER_SIMPLEINI)
    CSimpleIniA ini;
    if (ini.LoadFile(input) < 0) return 1;
    return ini.SaveFile(output, false) < 0 ? 1 : 0;
#elif defined(KOV_PEER_BOOST)
    boost::property_tree::ptree tree;
    boost::property_tree::read_ini(input, tree);
    boost::property_tree::write_ini(output, tree);
    return 0;
#elif defined(KOV_PEER_QSETTINGS)
    std::vector<std::pair<QString, QVariant>> keys;
    {
        QSettings settings(QString::fromLocal8Bit(input), QSettings::IniFormat);
        for (const QString& key : settings.allKeys()) keys.emplace_back(key, settings.value(key));
    }
    std::remove(output);
    QSettings settings(QString::fromLocal8Bit(output), QSettings::IniFormat);
    for (const auto& [key, value] : keys) settings.setValue(key, value);
    settings.sync();
    return settings.status() == QSettings::NoError ? 0 : 1;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: load_save INPUT OUTPUT\n", stderr);
        return 2;
    }
#if defined(KOV_PEER_QSETTINGS)
    QCoreApplication application(argc, argv);
#endif
    return Run(argv[1], argv[2]);
}
