#include "cursorMover/CursorMover.h"

#include <atomic>
#include <cstring>
#include <limits>

#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "common/valueEncoding.h"
#include "extCommon/extModuleType.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "standardCursor/StandardCursorRecords.h"

namespace {

std::atomic<CursorMover::PlatformMaker> installedMaker{nullptr};

// The ExtendedCursor's pointer state of a hidden pointer.
constexpr uint32_t kPointerHidden = 1;

const vnx_Struct_s* const* asRecords(const vnx_StructOutput_s** inputs)
{
    return reinterpret_cast<const vnx_Struct_s* const*>(inputs);
}

/// The first input of `type`, or -1.
int findInput(size_t count, const vnx_StructOutput_s** inputs, uint8_t type)
{
    int index = -1;
    vnx_Struct_find(inputs != nullptr ? count : 0, asRecords(inputs), type, &index);
    return index;
}

} // namespace

CursorMover::PlatformMaker CursorMover::setPlatformMaker(PlatformMaker maker)
{
    return installedMaker.exchange(maker);
}

CursorMover::CursorMover() : CursorMover(installedMaker.load()) {}

CursorMover::CursorMover(PlatformMaker maker)
{
    vnx_CursorMover_initConfig(&config_);
    // Until a client sets one, the held map is the one a ButtonMapper starts
    // with, so a client reading it sees the map the mapper really uses.
    vnx_ButtonMapper_initConfig(&buttonMapperConfig_);
    vnx_CursorMover_initBounds(&bounds_);
    platform_ = maker != nullptr ? maker(*this) : std::make_unique<CursorMoverPlatform>(*this);
    vnx::NodeManager::getInstance().addNode(static_cast<const vnx::ModuleConfigInterface*>(this),
                                            platform_.get(), vnx::NodeInterface::NODE_SUBNODE, "Linux");
}

CursorMover::~CursorMover()
{
    vnx::NodeManager::getInstance().removeNode(static_cast<const void*>(platform_.get()));
    platform_.reset();
}

int CursorMover::setModuleListener(vnx::ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int CursorMover::getConfig(vnx_StructConfig_s* config) const
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_CURSOR_MOVER)) {
        auto* own = vnx_CursorMover_dynamicDownCastConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        *own = config_;
        return VNX_STATUS_SUCCESS;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_BUTTON_MAPPER)) {
        auto* map = vnx_ButtonMapper_dynamicDownCastConfig(config);
        if (map == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        *map = buttonMapperConfig_;
        return VNX_STATUS_SUCCESS;
    }
    return VNX_STATUS_NOT_FOR_ME;
}

int CursorMover::setConfig(const vnx_StructConfig_s* config)
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_CURSOR_MOVER)) {
        const auto* own = vnx_CursorMover_dynamicDownCastConstConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        config_ = *own;
        platform_->setConfig(config_);
        return VNX_STATUS_SUCCESS;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_BUTTON_MAPPER)) {
        const auto* map = vnx_ButtonMapper_dynamicDownCastConstConfig(config);
        if (map == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        buttonMapperConfig_ = *map;
        platform_->setConfig(buttonMapperConfig_);
        return VNX_STATUS_SUCCESS;
    }
    return VNX_STATUS_NOT_FOR_ME;
}

int CursorMover::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (!vnx_StructCommand_isA(&command->header, VNX_TYPE_CURSOR_MOVER)) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    const auto* own = vnx_CursorMover_dynamicDownCastConstCommand(command);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (own->code == VNX_CURSOR_MOVER_COMMAND_SET_BOUNDS) {
        bounds_ = own->parameter.bounds;
        platform_->setBounds(bounds_);
    } else if (own->code == VNX_CURSOR_MOVER_COMMAND_SEND_BUTTONS) {
        const vnx_CursorMover_SendInput_s& input = own->parameter.sendInput;
        vnx_ButtonMapper_Output_s buttons;
        vnx_ButtonMapper_initOutput(&buttons);
        buttons.held = input.held;
        buttons.pressed = input.pressed;
        buttons.released = input.released;
        buttons.wheel = input.wheel;
        // The list ends at its first 0 entry, or after its last entry.
        for (size_t i = 0; i < std::size(input.keys) && input.keys[i] != 0; ++i) {
            buttons.keys[i] = input.keys[i];
        }
        buttons.pressedKeys = input.pressedKeys;
        buttons.releasedKeys = input.releasedKeys;
        platform_->sendButtons(&buttons);
    }
    return VNX_STATUS_SUCCESS;
}

uint8_t CursorMover::getType() const
{
    return VNX_TYPE_CURSOR_MOVER;
}

int CursorMover::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    return platform_->init();
}

int CursorMover::term()
{
    return platform_->term();
}

int CursorMover::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int CursorMover::getInputInterfaceCount() const
{
    return 1;
}

int CursorMover::getInputInterface(int index, size_t, uint8_t*, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    // Any number of records of any type.
    count = std::numeric_limits<size_t>::max();
    return VNX_STATUS_SUCCESS;
}

int CursorMover::getOutputInterfaceCount() const
{
    return 0;
}

int CursorMover::getOutputInterface(int, size_t, uint8_t*, size_t& count) const
{
    count = 0;
    return VNX_STATUS_SUCCESS;
}

int CursorMover::process(int, size_t inputCount, const vnx_StructOutput_s** inputs,
                         const vnx_StructFormat_s** inputFormats, int, size_t, vnx_StructOutput_s**,
                         vnx_StructFormat_s**)
{
    if (config_.mode == VNX_CURSOR_MOVER_MODE_OFF) {
        return VNX_STATUS_SUCCESS;
    }

    // Only a whole ButtonMapper Output is read; otherwise the platform gets
    // a record of no buttons.
    vnx_ButtonMapper_Output_s buttons;
    vnx_ButtonMapper_initOutput(&buttons);
    const int mapped = findInput(inputCount, inputs, VNX_TYPE_BUTTON_MAPPER);
    if (mapped >= 0) {
        if (const auto* record = vnx_ButtonMapper_dynamicDownCastConstOutput(inputs[mapped])) {
            buttons = *record;
        }
    }

    const int extended = findInput(inputCount, inputs, VNX_TYPE_EXTENDED_CURSOR);
    const auto* cursor = extended >= 0 ? vnx_ExtendedCursor_dynamicDownCastConstOutput(inputs[extended]) : nullptr;
    if (cursor != nullptr) {
        if (config_.mode == VNX_CURSOR_MOVER_MODE_DELTA) {
            platform_->moveDelta(cursor->dx, cursor->dy, &buttons);
        } else if (cursor->pointerState == kPointerHidden) {
            platform_->hideCursor();
        } else {
            platform_->moveTo(cursor->x, cursor->y, &buttons);
        }
        return VNX_STATUS_SUCCESS;
    }

    const int standard = findInput(inputCount, inputs, VNX_TYPE_STANDARD_CURSOR);
    if (standard >= 0 && vnx_StandardCursor_dynamicDownCastConstOutput(inputs[standard]) != nullptr) {
        if (config_.mode != VNX_CURSOR_MOVER_MODE_ABSOLUTE) {
            moveByCounts(standard, inputs, inputFormats, buttons);
        }
        return VNX_STATUS_SUCCESS;
    }

    platform_->sendButtons(&buttons);
    return VNX_STATUS_SUCCESS;
}

void CursorMover::moveByCounts(int index, const vnx_StructOutput_s** inputs,
                               const vnx_StructFormat_s** inputFormats, const vnx_ButtonMapper_Output_s& buttons)
{
    const auto* counts = vnx_StandardCursor_downCastConstOutput(inputs[index]);
    // Without its Format the counts have no known encoding and count as 0.
    const vnx_StandardCursor_Format_s* format =
        inputFormats != nullptr ? vnx_StandardCursor_dynamicDownCastConstFormat(inputFormats[index]) : nullptr;
    const int8_t code = format != nullptr ? static_cast<int8_t>(format->countCode) : VNX_QPOINT_INVALID;
    vnx_Number32_u dxWord{};
    vnx_Number32_u dyWord{};
    dxWord.fixed = counts->dx;
    dyWord.fixed = counts->dy;
    int32_t dx = 0;
    int32_t dy = 0;
    if (vnx_getInt32(dxWord, 1, code, &dx) != VNX_STATUS_SUCCESS) {
        dx = 0;
    }
    if (vnx_getInt32(dyWord, 1, code, &dy) != VNX_STATUS_SUCCESS) {
        dy = 0;
    }
    platform_->moveDelta(dx, dy, &buttons);
}
