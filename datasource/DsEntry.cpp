// The library's single export, DS_Entry: identity and status without an open source, the instance
// registry, the link back to the DSM, and the translation of every exception into a status.
#include "datasource/SourceRegistry.h"
#include "platform/Platform.h"
#include "twain/Memory.h"

#include <cstring>
#include <new>

using namespace Twpp;

namespace tarsin {
namespace {

TW_IDENTITY makeSourceIdentity() {
    TW_IDENTITY identity{};
    identity.Id = 0;
    identity.Version.MajorNum = 4;
    identity.Version.MinorNum = 14;
    identity.Version.Language = TWLG_ENGLISH;
    identity.Version.Country = TWCY_CHINA;
    std::strncpy(identity.Version.Info, "v4.14.16000.22216", sizeof identity.Version.Info - 1);
    identity.ProtocolMajor = 2;
    identity.ProtocolMinor = 3;
    identity.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_DS2;
    std::strncpy(identity.Manufacturer, "Ombrix", sizeof identity.Manufacturer - 1);
    std::strncpy(identity.ProductFamily, "V3300 Series", sizeof identity.ProductFamily - 1);
    std::strncpy(identity.ProductName, "OMBRIXSCAN V3300 TWAIN", sizeof identity.ProductName - 1);
    return identity;
}

// Process-wide state; calls arrive one at a time on the application's thread.
struct LibraryState {
    const TW_IDENTITY sourceIdentity = makeSourceIdentity();
    Status lastStatus{TWCC_BUMMER, 0};
    platform::ModuleHandle dsmLibrary = nullptr;

    ~LibraryState() {
        if (dsmLibrary)
            platform::freeLibrary(dsmLibrary);
    }
};

LibraryState& state() {
    static LibraryState libraryState;
    return libraryState;
}

// Calls that reach no instance.
Result answerWithoutInstance(uint32_t dg, uint16_t dat, uint16_t msg, void* data) {
    if (dg != DG_CONTROL)
        return failure(TWCC_SEQERROR);
    switch (dat) {
    case DAT_IDENTITY:
        switch (msg) {
        case MSG_GET: {
            if (!data)
                return failure(TWCC_BADVALUE);
            auto& identity = *static_cast<TW_IDENTITY*>(data);
            const uint32_t callerId = identity.Id;
            identity = state().sourceIdentity;
            identity.Id = callerId;
            return success();
        }
        case MSG_USERSELECT:
            if (!data)
                return failure(TWCC_BADVALUE);
            *static_cast<TW_IDENTITY*>(data) = state().sourceIdentity;
            return success();
        case MSG_CLOSEDS:
            return success();
        default:
            return failure(TWCC_BADPROTOCOL);
        }
    case DAT_STATUS:
        if (msg != MSG_GET)
            return failure(TWCC_BADPROTOCOL);
        if (!data)
            return failure(TWCC_BADVALUE);
        std::memcpy(data, &state().lastStatus, sizeof(TW_STATUS));
        return success();
    case DAT_ENTRYPOINT: {
        if (msg != MSG_SET)
            return failure(TWCC_BADPROTOCOL);
        if (!data)
            return failure(TWCC_BADVALUE);
        const auto& entryPoint = *static_cast<const TW_ENTRYPOINT*>(data);
        // A null function keeps the one in force rather than being called later.
        if (entryPoint.DSM_Entry)
            dsmEntry() = entryPoint.DSM_Entry;
        setMemoryEntryPoints(entryPoint);
        return success();
    }
    default:
        return failure(TWCC_BADPROTOCOL);
    }
}

// Finds DSM_Entry in the DSM library when the manager did not hand it over.
bool linkDsm() {
    if (dsmEntry())
        return true;
    LibraryState& library = state();
    if (!library.dsmLibrary) {
        for (const wchar_t* const* name = platform::dataSourceManagerLibraryNames(); *name; ++name) {
            library.dsmLibrary = platform::loadLibrary(*name).module;
            if (library.dsmLibrary)
                break;
        }
        if (!library.dsmLibrary)
            return false;
    }
    dsmEntry() = reinterpret_cast<DSMENTRYPROC>(platform::findSymbol(library.dsmLibrary, "DSM_Entry"));
    return dsmEntry() != nullptr;
}

// Clears appContainerHandle however the call ends.
struct AppContainerScope {
    explicit AppContainerScope(Handle handle) { appContainerHandle() = handle; }
    ~AppContainerScope() { appContainerHandle() = nullptr; }
};

Result deliver(SourceRegistry& registry, tarsin_ds& source, TW_IDENTITY* origin, uint32_t dg, uint16_t dat,
               uint16_t msg, void* data) {
    if (!linkDsm())
        return failure(TWCC_BUMMER);
    Result result;
    if (!origin) {
        result = failure(TWCC_BADPROTOCOL);
    } else {
        const bool carriesContainer = dg == DG_CONTROL && dat == DAT_CAPABILITY && data;
        AppContainerScope scope(carriesContainer ? static_cast<TW_CAPABILITY*>(data)->hContainer : nullptr);
        try {
            result = source.call(*origin, dg, dat, msg, data);
        } catch (const std::bad_alloc&) {
            result = failure(TWCC_LOWMEMORY);
        } catch (...) {
            result = failure(TWCC_BUMMER);
        }
    }
    source.setInstanceStatus(result.status);
    const bool closed = msg == MSG_CLOSEDS && result.returnCode == TWRC_SUCCESS;
    const bool failedOpen = msg == MSG_OPENDS && result.returnCode != TWRC_SUCCESS;
    if (dg == DG_CONTROL && dat == DAT_IDENTITY && (closed || failedOpen)) {
        registry.remove(source);
        if (registry.sources().empty()) {
            // The next delivery links the DSM again; the memory functions keep their last values.
            dsmEntry() = nullptr;
            LibraryState& library = state();
            if (library.dsmLibrary) {
                platform::freeLibrary(library.dsmLibrary);
                library.dsmLibrary = nullptr;
            }
        }
    }
    return result;
}

Result dispatch(TW_IDENTITY* origin, uint32_t dg, uint16_t dat, uint16_t msg, void* data) {
    SourceRegistry& registry = SourceRegistry::instance();
    tarsin_ds* source = origin ? registry.find(origin->Id) : nullptr;
    if (source)
        return deliver(registry, *source, origin, dg, dat, msg, data);
    if (dg == DG_CONTROL && dat == DAT_IDENTITY && msg == MSG_OPENDS)
        return deliver(registry, registry.create(), origin, dg, dat, msg, data);
    return answerWithoutInstance(dg, dat, msg, data);
}

} // namespace
} // namespace tarsin

extern "C" TARSIN_DS_EXPORT uint16_t TWPP_CALLSTYLE DS_Entry(TW_IDENTITY* origin, uint32_t dg, uint16_t dat,
                                                             uint16_t msg, void* data) {
    Result result;
    try {
        result = tarsin::dispatch(origin, dg, dat, msg, data);
    } catch (const std::bad_alloc&) {
        result = failure(TWCC_LOWMEMORY);
    } catch (...) {
        // Nothing unwinds into the host.
        result = failure(TWCC_BUMMER);
    }
    tarsin::state().lastStatus = result.status;
    return result.returnCode;
}
