#include "host/twacquire/host_identity.h"

#include <cstring>

namespace twacquire {

namespace {

template <size_t N>
void CopyField(char (&field)[N], const char* text) {
    std::strncpy(field, text, N - 1);
    field[N - 1] = '\0';
}

}  // namespace

TW_IDENTITY HostIdentity() {
    TW_IDENTITY id{};
    id.Id = 0;  // given by the source manager at MSG_OPENDSM
    id.Version.MajorNum = 1;
    id.Version.MinorNum = 0;
    id.Version.Language = TWLG_USA;
    id.Version.Country = TWCY_USA;
    CopyField(id.Version.Info, "twacquire 1.0");
    id.ProtocolMajor = TWON_PROTOCOLMAJOR;
    id.ProtocolMinor = TWON_PROTOCOLMINOR;
    id.SupportedGroups = DG_CONTROL | DG_IMAGE;
    CopyField(id.Manufacturer, "Pavo");
    CopyField(id.ProductFamily, "Pavo Tools");
    CopyField(id.ProductName, "twacquire");
    return id;
}

}  // namespace twacquire
