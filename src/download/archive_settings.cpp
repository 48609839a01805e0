#include "download/archive_settings.h"

#include "platform/strfmt.h"

namespace velarix {

namespace {

void replaceAll(std::string& text, const std::string& field, const std::string& value) {
    for (size_t at = text.find(field); at != std::string::npos; at = text.find(field, at + value.size())) {
        text.replace(at, field.size(), value);
    }
}

}  // namespace

std::string fillTemplate(const std::string& urlTemplate, const TemplateDate& date, const std::string& station,
                         const std::string& kind) {
    std::string url = urlTemplate;
    replaceAll(url, "{station}", station);  // first: a station entry may hold placeholders
    replaceAll(url, "{kind}", kind);
    replaceAll(url, "{yyyy}", strfmt("%04d", date.year));
    replaceAll(url, "{yy}", strfmt("%02d", date.year % 100));
    replaceAll(url, "{mm}", strfmt("%02d", date.month));
    replaceAll(url, "{ddd}", strfmt("%03d", date.dayOfYear));
    return url;
}

bool splitUrl(const std::string& url, RemoteFile& file) {
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos) return false;
    const std::string protocol = url.substr(0, scheme);
    if (protocol != "ftp" && protocol != "http" && protocol != "https") return false;
    const size_t path = url.find('/', scheme + 3);
    const size_t last = url.rfind('/');
    if (path == std::string::npos || path == scheme + 3 || last + 1 >= url.size()) return false;
    file.site = url.substr(0, path);
    file.folder = url.substr(path, last + 1 - path);
    file.name = url.substr(last + 1);
    return true;
}

}  // namespace velarix
