// Implementation of SourceFromThis; included by SourceFromThis.h only.
#pragma once

namespace Twpp {

template <typename Derived>
Result SourceFromThis<Derived>::call(TW_IDENTITY& origin, uint32_t dg, uint16_t dat, uint16_t msg,
                                     void* data) {
    try {
        switch (dg) {
        case DG_CONTROL:
            return control(origin, dat, msg, data);
        case DG_IMAGE:
            return image(origin, dat, msg, data);
        case DG_AUDIO:
            return audio(origin, dat, msg, data);
        default:
            return failure(TWCC_BADPROTOCOL);
        }
    } catch (const CapabilityException&) {
        return failure(TWCC_BADVALUE);
    }
}

template <typename Derived>
ReturnCode SourceFromThis<Derived>::sendNotification(uint16_t msg) noexcept {
    if (msg == MSG_XFERREADY && m_state != 5)
        return TWRC_FAILURE;
    if ((msg == MSG_CLOSEDSREQ || msg == MSG_CLOSEDSOK) && !(m_state >= 5 && m_state <= 7))
        return TWRC_FAILURE;
    DSMENTRYPROC entry = dsmEntry();
    if (!entry)
        return TWRC_FAILURE;
    const auto rc =
        static_cast<ReturnCode>(entry(&m_identity, &m_appIdentity, DG_CONTROL, DAT_NULL, msg, nullptr));
    if (rc != TWRC_SUCCESS)
        return rc;
    if (msg == MSG_XFERREADY)
        m_state = 6;
    else if (msg == MSG_CLOSEDSREQ || msg == MSG_CLOSEDSOK)
        m_state = 5;
    return rc;
}

template <typename Derived>
template <typename Data, std::size_t N>
Result SourceFromThis<Derived>::route(TW_IDENTITY& origin, uint16_t msg, Data& data,
                                      const Route<Data> (&routes)[N]) {
    for (const Route<Data>& entry : routes) {
        if (entry.msg != msg)
            continue;
        if (!entry.states.contains(m_state))
            return failure(TWCC_SEQERROR);
        return applyThen((this->*entry.leaf)(origin, data), entry.then);
    }
    return failure(TWCC_BADPROTOCOL);
}

template <typename Derived>
Result SourceFromThis<Derived>::applyThen(const Result& result, const detail::Then& then) {
    if (then.state != 0 && (result.returnCode == then.first || result.returnCode == then.second))
        m_state = then.state;
    return result;
}

template <typename Derived>
Result SourceFromThis<Derived>::control(TW_IDENTITY& origin, uint16_t dat, uint16_t msg, void* data) {
    using detail::kAnyState;
    using detail::only;
    using S = SourceFromThis;
    constexpr detail::States k4to6{4, 6}, k4to7{4, 7}, k5to7{5, 7};
    if (!data)
        return failure(TWCC_BADVALUE);
    switch (dat) {
    case DAT_CAPABILITY:
        return capability(origin, msg, Capability::fromTwain(*static_cast<TW_CAPABILITY*>(data)));
    case DAT_EVENT: {
        static constexpr Route<TW_EVENT> routes[] = {{MSG_PROCESSEVENT, k5to7, &S::eventProcess}};
        return route(origin, msg, *static_cast<TW_EVENT*>(data), routes);
    }
    case DAT_IDENTITY:
        return identity(origin, msg, *static_cast<TW_IDENTITY*>(data));
    case DAT_PENDINGXFERS:
        return pendingXfers(origin, msg, *static_cast<TW_PENDINGXFERS*>(data));
    case DAT_SETUPMEMXFER: {
        static constexpr Route<TW_SETUPMEMXFER> routes[] = {{MSG_GET, k4to6, &S::setupMemXferGet}};
        return route(origin, msg, *static_cast<TW_SETUPMEMXFER*>(data), routes);
    }
    case DAT_SETUPFILEXFER: {
        static constexpr Route<TW_SETUPFILEXFER> routes[] = {
            {MSG_GET, k4to6, &S::setupFileXferGet},
            {MSG_GETDEFAULT, k4to6, &S::setupFileXferGetDefault},
            {MSG_SET, k4to6, &S::setupFileXferSet},
            {MSG_RESET, only(4), &S::setupFileXferReset}};
        return route(origin, msg, *static_cast<TW_SETUPFILEXFER*>(data), routes);
    }
    case DAT_STATUS:
        if (msg != MSG_GET)
            return failure(TWCC_BADPROTOCOL);
        std::memcpy(data, &m_instanceStatus, sizeof(TW_STATUS));
        return success();
    case DAT_USERINTERFACE:
        return userInterface(origin, msg, *static_cast<TW_USERINTERFACE*>(data));
    case DAT_XFERGROUP:
        return xferGroup(origin, msg, *static_cast<uint32_t*>(data));
    case DAT_CUSTOMDSDATA: {
        if (m_state != 4)
            return failure(TWCC_SEQERROR);
        static constexpr Route<TW_CUSTOMDSDATA> routes[] = {{MSG_GET, only(4), &S::customDsDataGet},
                                                            {MSG_SET, only(4), &S::customDsDataSet}};
        return route(origin, msg, *static_cast<TW_CUSTOMDSDATA*>(data), routes);
    }
    case DAT_DEVICEEVENT: {
        static constexpr Route<TW_DEVICEEVENT> routes[] = {{MSG_GET, kAnyState, &S::deviceEventGet}};
        return route(origin, msg, *static_cast<TW_DEVICEEVENT*>(data), routes);
    }
    case DAT_FILESYSTEM: {
        static constexpr Route<TW_FILESYSTEM> routes[] = {
            {MSG_AUTOMATICCAPTUREDIRECTORY, only(4), &S::fileSystemAutomaticCaptureDirectory},
            {MSG_CHANGEDIRECTORY, only(4), &S::fileSystemChangeDirectory},
            {MSG_COPY, only(4), &S::fileSystemCopy},
            {MSG_CREATEDIRECTORY, only(4), &S::fileSystemCreateDirectory},
            {MSG_DELETE, only(4), &S::fileSystemDelete},
            {MSG_FORMATMEDIA, only(4), &S::fileSystemFormatMedia},
            {MSG_GETCLOSE, k4to6, &S::fileSystemGetClose},
            {MSG_GETFIRSTFILE, k4to6, &S::fileSystemGetFirstFile},
            {MSG_GETINFO, kAnyState, &S::fileSystemGetInfo},
            {MSG_GETNEXTFILE, k4to6, &S::fileSystemGetNextFile},
            {MSG_RENAME, only(4), &S::fileSystemRename}};
        return route(origin, msg, *static_cast<TW_FILESYSTEM*>(data), routes);
    }
    case DAT_PASSTHRU: {
        static constexpr Route<TW_PASSTHRU> routes[] = {
            {MSG_PASSTHRU, kAnyState, &S::passThroughPassThrough}};
        return route(origin, msg, *static_cast<TW_PASSTHRU*>(data), routes);
    }
    case DAT_STATUSUTF8: {
        static constexpr Route<TW_STATUSUTF8> routes[] = {{MSG_GET, kAnyState, &S::statusUtf8Get}};
        return route(origin, msg, *static_cast<TW_STATUSUTF8*>(data), routes);
    }
    default:
        (void)k4to7;
        return failure(TWCC_BADPROTOCOL);
    }
}

template <typename Derived>
Result SourceFromThis<Derived>::capability(TW_IDENTITY& origin, uint16_t msg, Capability& data) {
    using detail::kAnyState;
    using detail::only;
    using S = SourceFromThis;
    static constexpr Route<Capability> routes[] = {{MSG_GET, kAnyState, &S::capabilityGet},
                                                   {MSG_GETCURRENT, kAnyState, &S::capabilityGetCurrent},
                                                   {MSG_GETDEFAULT, kAnyState, &S::capabilityGetDefault},
                                                   {MSG_GETHELP, only(4), &S::capabilityGetHelp},
                                                   {MSG_GETLABEL, only(4), &S::capabilityGetLabel},
                                                   {MSG_GETLABELENUM, only(4), &S::capabilityGetLabelEnum},
                                                   {MSG_QUERYSUPPORT, kAnyState, &S::capabilityQuerySupport},
                                                   {MSG_RESET, only(4), &S::capabilityReset},
                                                   {MSG_RESETALL, only(4), &S::capabilityResetAll},
                                                   {MSG_SET, only(4), &S::capabilitySet},
                                                   {MSG_SETCONSTRAINT, only(4), &S::capabilitySetConstraint}};
    // A value to set needs a container; the state is tested first.
    if ((msg == MSG_SET || msg == MSG_SETCONSTRAINT) && m_state == 4 && !data.container())
        return failure(TWCC_BADVALUE);
    return route(origin, msg, data, routes);
}

template <typename Derived>
Result SourceFromThis<Derived>::identity(TW_IDENTITY& origin, uint16_t msg, TW_IDENTITY& data) {
    switch (msg) {
    case MSG_GET:
        data = m_identity;
        return success();
    case MSG_OPENDS: {
        if (m_state != 3)
            return failure(TWCC_SEQERROR);
        m_identity = data;
        m_appIdentity = origin;
        const Result result = identityOpenDs(origin);
        if (result.returnCode == TWRC_SUCCESS)
            m_state = 4;
        return result;
    }
    case MSG_CLOSEDS: {
        if (m_state == 5)
            m_state = 4;
        if (m_state != 4)
            return failure(TWCC_SEQERROR);
        const Result result = identityCloseDs(origin);
        if (result.returnCode == TWRC_SUCCESS)
            m_state = 3;
        return result;
    }
    default:
        return failure(TWCC_BADPROTOCOL);
    }
}

template <typename Derived>
Result SourceFromThis<Derived>::userInterface(TW_IDENTITY& origin, uint16_t msg, TW_USERINTERFACE& data) {
    switch (msg) {
    case MSG_DISABLEDS: {
        m_state = 5;
        const Result result = userInterfaceDisable(origin, data);
        if (result.returnCode == TWRC_SUCCESS)
            m_state = 4;
        return result;
    }
    case MSG_ENABLEDS: {
        // Only one instance in the process may be enabled at a time.
        if (m_state != 4 || Derived::anyInstanceInStates(5, 7))
            return failure(TWCC_SEQERROR);
        const Result result = userInterfaceEnable(origin, data);
        if ((result.returnCode == TWRC_SUCCESS || result.returnCode == TWRC_CHECKSTATUS) && m_state == 4)
            m_state = 5;
        return result;
    }
    case MSG_ENABLEDSUIONLY: {
        if (m_state != 4)
            return failure(TWCC_SEQERROR);
        const Result result = userInterfaceEnableUiOnly(origin, data);
        if (result.returnCode == TWRC_SUCCESS)
            m_state = 5;
        return result;
    }
    default:
        return failure(TWCC_BADPROTOCOL);
    }
}

template <typename Derived>
Result SourceFromThis<Derived>::xferGroup(TW_IDENTITY& origin, uint16_t msg, uint32_t& data) {
    switch (msg) {
    case MSG_GET:
        if (!(m_state >= 4 && m_state <= 6))
            return failure(TWCC_SEQERROR);
        data = DG_IMAGE;
        return success();
    case MSG_SET:
        if (m_state != 6)
            return failure(TWCC_SEQERROR);
        return xferGroupSet(origin, data);
    default:
        return failure(TWCC_BADPROTOCOL);
    }
}

template <typename Derived>
uint32_t SourceFromThis<Derived>::transferGroup(TW_IDENTITY& origin) {
    uint32_t group = DG_IMAGE;
    if (xferGroup(origin, MSG_GET, group).returnCode != TWRC_SUCCESS)
        group = DG_IMAGE;
    return group;
}

template <typename Derived>
Result SourceFromThis<Derived>::pendingXfers(TW_IDENTITY& origin, uint16_t msg, TW_PENDINGXFERS& data) {
    switch (msg) {
    case MSG_GET:
        if (!(m_state >= 4 && m_state <= 7))
            return failure(TWCC_SEQERROR);
        return pendingXfersGet(origin, data);
    case MSG_ENDXFER: {
        if (m_state != 6 && m_state != 7)
            return failure(TWCC_SEQERROR);
        const Result result = pendingXfersEnd(origin, data);
        if (result.returnCode == TWRC_SUCCESS) {
            // The group query goes through the router, which refuses state 7: DG_IMAGE then.
            const uint32_t group = transferGroup(origin);
            m_state = (group == DG_AUDIO || data.Count != 0) ? 6 : 5;
        }
        return result;
    }
    case MSG_RESET: {
        if (m_state != 6)
            return failure(TWCC_SEQERROR);
        const Result result = pendingXfersReset(origin, data);
        if (result.returnCode == TWRC_SUCCESS && transferGroup(origin) != DG_AUDIO)
            m_state = 5;
        return result;
    }
    case MSG_STOPFEEDER:
        if (m_state != 6)
            return failure(TWCC_SEQERROR);
        return pendingXfersStopFeeder(origin, data);
    default:
        return failure(TWCC_BADPROTOCOL);
    }
}

template <typename Derived>
Result SourceFromThis<Derived>::originOnlyTransfer(TW_IDENTITY& origin, uint16_t msg,
                                                   Result (SourceFromThis::*leaf)(TW_IDENTITY&),
                                                   const detail::Then& then) {
    if (msg != MSG_GET)
        return failure(TWCC_BADPROTOCOL);
    if (m_state != 6)
        return failure(TWCC_SEQERROR);
    return applyThen((this->*leaf)(origin), then);
}

template <typename Derived>
Result SourceFromThis<Derived>::image(TW_IDENTITY& origin, uint16_t dat, uint16_t msg, void* data) {
    using detail::only;
    using detail::Then;
    using S = SourceFromThis;
    constexpr detail::States k4to6{4, 6}, k6to7{6, 7};
    constexpr Then kTo7OnDone{7, TWRC_XFERDONE, TWRC_XFERDONE};
    if (dat == DAT_IMAGEFILEXFER)
        return originOnlyTransfer(origin, msg, &S::imageFileXferGet, kTo7OnDone);
    if (!data)
        return failure(TWCC_BADVALUE);
    VariableData variable{data};
    switch (dat) {
    case DAT_IMAGEINFO: {
        static constexpr Route<TW_IMAGEINFO> routes[] = {{MSG_GET, k6to7, &S::imageInfoGet}};
        return route(origin, msg, *static_cast<TW_IMAGEINFO*>(data), routes);
    }
    case DAT_IMAGELAYOUT: {
        static constexpr Route<TW_IMAGELAYOUT> routes[] = {{MSG_GET, k4to6, &S::imageLayoutGet},
                                                           {MSG_GETDEFAULT, k4to6, &S::imageLayoutGetDefault},
                                                           {MSG_SET, only(4), &S::imageLayoutSet},
                                                           {MSG_RESET, only(4), &S::imageLayoutReset}};
        return route(origin, msg, *static_cast<TW_IMAGELAYOUT*>(data), routes);
    }
    case DAT_IMAGEMEMXFER: {
        static constexpr Route<TW_IMAGEMEMXFER> routes[] = {
            {MSG_GET, k6to7, &S::imageMemXferGet, Then{7, TWRC_SUCCESS, TWRC_XFERDONE}}};
        return route(origin, msg, *static_cast<TW_IMAGEMEMXFER*>(data), routes);
    }
    case DAT_IMAGENATIVEXFER: {
        static constexpr Route<Handle> routes[] = {{MSG_GET, only(6), &S::imageNativeXferGet, kTo7OnDone}};
        return route(origin, msg, *static_cast<Handle*>(data), routes);
    }
    case DAT_GRAYRESPONSE: {
        if (m_state != 4)
            return failure(TWCC_SEQERROR);
        static constexpr Route<VariableData> routes[] = {{MSG_SET, only(4), &S::grayResponseSet},
                                                         {MSG_RESET, only(4), &S::grayResponseReset}};
        return route(origin, msg, variable, routes);
    }
    case DAT_RGBRESPONSE: {
        if (m_state != 4)
            return failure(TWCC_SEQERROR);
        static constexpr Route<VariableData> routes[] = {{MSG_SET, only(4), &S::rgbResponseSet},
                                                         {MSG_RESET, only(4), &S::rgbResponseReset}};
        return route(origin, msg, variable, routes);
    }
    case DAT_JPEGCOMPRESSION: {
        static constexpr Route<TW_JPEGCOMPRESSION> routes[] = {
            {MSG_GET, k4to6, &S::jpegCompressionGet},
            {MSG_GETDEFAULT, k4to6, &S::jpegCompressionGetDefault},
            {MSG_SET, only(4), &S::jpegCompressionSet},
            {MSG_RESET, only(4), &S::jpegCompressionReset}};
        return route(origin, msg, *static_cast<TW_JPEGCOMPRESSION*>(data), routes);
    }
    case DAT_PALETTE8: {
        static constexpr Route<TW_PALETTE8> routes[] = {{MSG_GET, k4to6, &S::palette8Get},
                                                        {MSG_GETDEFAULT, k4to6, &S::palette8GetDefault},
                                                        {MSG_SET, only(4), &S::palette8Set},
                                                        {MSG_RESET, only(4), &S::palette8Reset}};
        return route(origin, msg, *static_cast<TW_PALETTE8*>(data), routes);
    }
    case DAT_EXTIMAGEINFO: {
        static constexpr Route<VariableData> routes[] = {{MSG_GET, only(7), &S::extImageInfoGet}};
        return route(origin, msg, variable, routes);
    }
    case DAT_ICCPROFILE: {
        static constexpr Route<TW_MEMORY> routes[] = {{MSG_GET, k6to7, &S::iccProfileGet}};
        return route(origin, msg, *static_cast<TW_MEMORY*>(data), routes);
    }
    case DAT_IMAGEMEMFILEXFER: {
        static constexpr Route<TW_IMAGEMEMXFER> routes[] = {
            {MSG_GET, only(6), &S::imageMemFileXferGet, kTo7OnDone}};
        return route(origin, msg, *static_cast<TW_IMAGEMEMXFER*>(data), routes);
    }
    default:
        return failure(TWCC_BADPROTOCOL);
    }
}

template <typename Derived>
Result SourceFromThis<Derived>::audio(TW_IDENTITY& origin, uint16_t dat, uint16_t msg, void* data) {
    using detail::only;
    using S = SourceFromThis;
    if (dat == DAT_AUDIOFILEXFER)
        return originOnlyTransfer(origin, msg, &S::audioFileXferGet,
                                  detail::Then{7, TWRC_XFERDONE, TWRC_XFERDONE});
    if (!data)
        return failure(TWCC_BADVALUE);
    switch (dat) {
    case DAT_AUDIOINFO: {
        static constexpr Route<TW_AUDIOINFO> routes[] = {{MSG_GET, detail::States{6, 7}, &S::audioInfoGet}};
        return route(origin, msg, *static_cast<TW_AUDIOINFO*>(data), routes);
    }
    case DAT_AUDIONATIVEXFER: {
        static constexpr Route<Handle> routes[] = {
            {MSG_GET, only(6), &S::audioNativeXferGet, detail::Then{7, TWRC_SUCCESS, TWRC_SUCCESS}}};
        return route(origin, msg, *static_cast<Handle*>(data), routes);
    }
    default:
        return failure(TWCC_BADPROTOCOL);
    }
}

} // namespace Twpp
