// A per-user registry in one text file, with the results of the Windows calls
// the settings store makes. The file is read before and written after every
// call, so separate processes (a host and a test, say) see each other's
// changes, as they would on Windows. Key and value names compare without
// regard to case, as on Windows.
//
// File format, one entry a line:
//   key <path>                         e.g. key HKEY_CURRENT_USER\Software\brovald\porvane
//   value <type> <hex bytes|-> <name>  a value of the key above it
#include "native_internal.h"
#include "native_platform.h"

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

namespace {

struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};
struct Key {
    std::string path;
    std::map<std::string, Value> values;  // by lower-case name
};
typedef std::map<std::string, Key> Registry;  // by lower-case path

struct NativeKey {
    std::string path;
};
std::set<NativeKey*> openKeys;

std::string lowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return text;
}

Registry load()
{
    Registry registry;
    std::ifstream in(NativePlatform::registryFile());
    std::string line;
    Key* current = nullptr;
    while (std::getline(in, line)) {
        if (line.compare(0, 4, "key ") == 0) {
            std::string path = line.substr(4);
            current = &registry[lowerCase(path)];
            current->path = path;
            continue;
        }
        std::istringstream fields(line);
        std::string word, hex;
        Value value;
        if (current == nullptr || !(fields >> word >> value.type >> hex) || word != "value")
            continue;
        fields.get();
        std::getline(fields, value.name);
        for (size_t at = 0; hex != "-" && at + 1 < hex.size(); at += 2)
            value.data.push_back((BYTE)strtoul(hex.substr(at, 2).c_str(), nullptr, 16));
        current->values[lowerCase(value.name)] = value;
    }
    return registry;
}

void makeFolders(const std::string& file)
{
    for (size_t slash = file.find('/', 1); slash != std::string::npos; slash = file.find('/', slash + 1))
        mkdir(file.substr(0, slash).c_str(), 0700);
}

bool save(const Registry& registry)
{
    std::string file = NativePlatform::registryFile();
    makeFolders(file);
    std::ofstream out(file, std::ios::trunc);
    for (const auto& key : registry) {
        out << "key " << key.second.path << '\n';
        for (const auto& entry : key.second.values) {
            const Value& value = entry.second;
            out << "value " << value.type << ' ';
            if (value.data.empty())
                out << '-';
            static const char digits[] = "0123456789abcdef";
            for (BYTE b : value.data)
                out << digits[b >> 4] << digits[b & 15];
            out << ' ' << value.name << '\n';
        }
    }
    return (bool)out;
}

// The full path of `subKey` under `root`, or "" for a handle that is not open.
std::string fullPath(HKEY root, LPCSTR subKey)
{
    std::string path;
    if (root == HKEY_CURRENT_USER)
        path = "HKEY_CURRENT_USER";
    else if (openKeys.count((NativeKey*)root))
        path = ((NativeKey*)root)->path;
    else
        return "";
    if (subKey != NULL && *subKey != '\0')
        path += std::string("\\") + subKey;
    return path;
}

HKEY openHandle(const std::string& path)
{
    NativeKey* key = new NativeKey{path};
    openKeys.insert(key);
    return (HKEY)key;
}

}

int NativePlatform::heldRegistryKeys() { return (int)openKeys.size(); }

std::string NativePlatform::registryFile()
{
    if (const char* file = getenv("PORVANE_REGISTRY"))
        return file;
    if (const char* config = getenv("XDG_CONFIG_HOME"))
        return std::string(config) + "/porvane/registry";
    const char* home = getenv("HOME");
    return std::string(home ? home : ".") + "/.config/porvane/registry";
}

LSTATUS WINAPI RegCreateKeyA(HKEY root, LPCSTR subKey, PHKEY result)
{
    if (NativePlatform::countCall("RegCreateKeyA"))
        return ERROR_ACCESS_DENIED;
    std::string path = fullPath(root, subKey);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    Registry registry = load();
    if (registry.count(lowerCase(path)) == 0) {
        for (size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1))
            if (registry.count(lowerCase(path.substr(0, cut))) == 0)
                registry[lowerCase(path.substr(0, cut))].path = path.substr(0, cut);
        registry[lowerCase(path)].path = path;
        if (!save(registry))
            return ERROR_ACCESS_DENIED;
    }
    *result = openHandle(registry[lowerCase(path)].path);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD /*options*/, REGSAM /*access*/, PHKEY result)
{
    if (NativePlatform::countCall("RegOpenKeyExA"))
        return ERROR_ACCESS_DENIED;
    std::string path = fullPath(root, subKey);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    Registry registry = load();
    auto found = registry.find(lowerCase(path));
    if (found == registry.end())
        return ERROR_FILE_NOT_FOUND;
    *result = openHandle(found->second.path);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD /*reserved*/, LPDWORD type, BYTE* data, LPDWORD size)
{
    if (NativePlatform::countCall("RegQueryValueExA"))
        return ERROR_ACCESS_DENIED;
    if (openKeys.count((NativeKey*)key) == 0)
        return ERROR_INVALID_HANDLE;
    Registry registry = load();
    auto keyFound = registry.find(lowerCase(((NativeKey*)key)->path));
    if (keyFound == registry.end())
        return ERROR_FILE_NOT_FOUND;  // deleted while open
    auto valueFound = keyFound->second.values.find(lowerCase(name ? name : ""));
    if (valueFound == keyFound->second.values.end())
        return ERROR_FILE_NOT_FOUND;
    const Value& value = valueFound->second;
    if (type != NULL)
        *type = value.type;
    DWORD room = size != NULL ? *size : 0;
    if (size != NULL)
        *size = (DWORD)value.data.size();
    if (data == NULL)
        return ERROR_SUCCESS;
    if (room < value.data.size()) {
        // Windows leaves the buffer's contents undefined here; filling it
        // shows up a caller that uses the data of a failed read.
        if (room > 0)
            memcpy(data, value.data.data(), room);
        return ERROR_MORE_DATA;
    }
    if (!value.data.empty())
        memcpy(data, value.data.data(), value.data.size());
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD /*reserved*/, DWORD type, const BYTE* data, DWORD size)
{
    if (NativePlatform::countCall("RegSetValueExA"))
        return ERROR_ACCESS_DENIED;
    if (openKeys.count((NativeKey*)key) == 0)
        return ERROR_INVALID_HANDLE;
    Registry registry = load();
    Key& stored = registry[lowerCase(((NativeKey*)key)->path)];
    stored.path = ((NativeKey*)key)->path;
    Value value{name ? name : "", type, std::vector<BYTE>(data, data + size)};
    stored.values[lowerCase(value.name)] = value;
    return save(registry) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LSTATUS WINAPI RegCloseKey(HKEY key)
{
    bool failing = NativePlatform::countCall("RegCloseKey");
    if (key == HKEY_CURRENT_USER)
        return ERROR_SUCCESS;
    if (openKeys.erase((NativeKey*)key) == 0)
        return ERROR_INVALID_HANDLE;
    delete (NativeKey*)key;
    return failing ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;  // closed all the same
}
