/* The module as a host built with Microsoft's compiler sees it, written in C so that no C++
 * ABI takes part on the host's side. It loads OrvexCrumlet.dll with LoadLibraryW, walks
 * g_pZQPluginList, and calls every operation of every interface through its table of virtual
 * operations by slot number (counted from 0 here; the host counts its operations from 1),
 * with the x64 calling convention, `this` first. The host's own objects (allocator,
 * processing context, property set, block writer, change group) are C structs whose first
 * field points at a table of functions laid out slot by slot.
 *
 *   abi_probe MODULE.dll BLOCK.bank DEMO.f32 REFERENCE.f32 [BLOCK_FRAMES]
 *
 * BLOCK.bank is the 139-byte parameter block `crumlet bank` wrote for some settings,
 * DEMO.f32 the demo input (48 kHz stereo, raw interleaved float) and REFERENCE.f32 what
 * `crumlet render` made of it with those settings. The probe renders the demo three ways
 * (parameter object from the block; from the defaults and forty single-parameter updates;
 * a clone of the first) and each must equal the reference bit for bit, as far as it goes; the plugin object
 * must write the same block back through a C block writer. Every failed check prints a line;
 * the exit code is the number of failures (0: the module answers as the host expects). */
#include <windows.h>
#include <oleauto.h>

#include <float.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* ------------------------------------------------------------------ checks */

static int g_failures = 0;
static const char* g_context = "";

#define CHECK(condition, ...)                                                                      \
    do                                                                                             \
    {                                                                                              \
        if (!(condition))                                                                          \
        {                                                                                          \
            ++g_failures;                                                                          \
            fprintf(stderr, "FAIL [%s] %s:%d: ", g_context, __FILE__, __LINE__);                    \
            fprintf(stderr, __VA_ARGS__);                                                          \
            fputc('\n', stderr);                                                                   \
        }                                                                                          \
    } while (0)

/* One entry of a table of virtual operations. */
typedef void (*Slot)(void);

/* The function in slot `slot` of the table that object `object` points at. */
#define SLOT(object, slot) ((*(const Slot* const*)(object))[slot])
#define CALL(type, object, slot) ((type)SLOT(object, slot))

/* Host result codes. */
enum
{
    kSuccess = 1,
    kNoMoreData = 17,
    kInvalidParameter = 31,
    kDataReady = 45,
};

/* ------------------------------------------------------------------ data layouts */

typedef struct AudioFormat
{
    uint32_t sampleRate;
    uint32_t channelCount;
} AudioFormat;

typedef struct AudioBuffer
{
    uint32_t channelCount;
    uint32_t maxFrames;
    uint32_t validFrames;
    int32_t state;
    float* data; /* channel c at data + c * maxFrames */
} AudioBuffer;

typedef struct PluginInfo
{
    uint32_t type;
    uint32_t buildVersion;
    unsigned char isInPlace;
} PluginInfo;

typedef struct Allocator Allocator;
typedef void* (*CreateFn)(Allocator*);

typedef struct PluginRegistration
{
    struct PluginRegistration* next;
    uint32_t type;
    uint32_t companyId;
    uint32_t pluginId;
    CreateFn createEffect;
    CreateFn createParams;
    void* reserved;
} PluginRegistration;

typedef struct MonitorEntry
{
    uintptr_t sourceId;
    const void* data;
    uint32_t bytes;
} MonitorEntry;

/* The layouts an MSVC-built host gives these structs (x64). */
_Static_assert(sizeof(AudioFormat) == 8, "AudioFormat");
_Static_assert(sizeof(AudioBuffer) == 24 && offsetof(AudioBuffer, data) == 16, "AudioBuffer");
_Static_assert(sizeof(PluginInfo) == 12 && offsetof(PluginInfo, isInPlace) == 8, "PluginInfo");
_Static_assert(sizeof(PluginRegistration) == 48 && offsetof(PluginRegistration, createEffect) == 24,
               "PluginRegistration");
_Static_assert(sizeof(MonitorEntry) == 24 && offsetof(MonitorEntry, data) == 8, "MonitorEntry");
_Static_assert(sizeof(VARIANT) == 24 && sizeof(GUID) == 16 && sizeof(WCHAR) == 2, "OLE types");

/* ------------------------------------------------------------------ the forty properties */

enum PropertyType
{
    kBool,
    kInt,
    kFloat
};

typedef struct Property
{
    const WCHAR* name;
    int32_t id;
    enum PropertyType type;
    /* Whole-value parameters that single updates carry as floats (lo-fi bit depth and rate). */
    int sentAsFloat;
} Property;

/* Host order: the order of the parameter block. */
static const Property kProperties[40] = {
    {L"FiltersEnable", 50, kBool, 0},       {L"FiltersLPFSlope", 51, kInt, 0},
    {L"FiltersLPFFreq", 52, kFloat, 0},     {L"FiltersLPFQ", 53, kFloat, 0},
    {L"FiltersHPFSlope", 54, kInt, 0},      {L"FiltersHPFFreq", 55, kFloat, 0},
    {L"FiltersHPFQ", 56, kFloat, 0},        {L"DistortionEnable", 0, kBool, 0},
    {L"DistortionMode", 1, kInt, 0},        {L"DistortionAmount", 2, kFloat, 0},
    {L"DistortionIntensity", 3, kFloat, 0}, {L"DistortionRectify", 4, kFloat, 0},
    {L"EQEnable", 60, kBool, 0},            {L"EQFilterType", 61, kInt, 0},
    {L"EQFreq", 62, kFloat, 0},             {L"EQQ", 63, kFloat, 0},
    {L"EQGain", 64, kFloat, 0},             {L"NoiseEnable", 70, kBool, 0},
    {L"NoiseLevel", 71, kFloat, 0},         {L"NoiseLPFFreq", 72, kFloat, 0},
    {L"NoiseHPFFreq", 73, kFloat, 0},       {L"NoiseThresh", 74, kFloat, 0},
    {L"NoiseRange", 75, kFloat, 0},         {L"NoiseRecovery", 76, kFloat, 0},
    {L"SIMEnable", 20, kBool, 0},           {L"SIMType", 21, kInt, 0},
    {L"SIMTuning", 22, kFloat, 0},          {L"GateEnable", 10, kBool, 0},
    {L"GateThreshold", 11, kFloat, 0},      {L"GateRange", 12, kFloat, 0},
    {L"GateAttackTime", 13, kFloat, 0},     {L"GateHoldTime", 14, kFloat, 0},
    {L"GateReleaseTime", 15, kFloat, 0},    {L"LoFiEnable", 30, kBool, 0},
    {L"LoFiBitDepthType", 31, kInt, 1},     {L"LoFiDownSampleIndex", 32, kInt, 1},
    {L"LoFiFilter", 33, kFloat, 0},         {L"InputGain", 40, kFloat, 0},
    {L"OutputGain", 41, kFloat, 0},         {L"Balance", 42, kFloat, 0},
};

enum
{
    kBlockBytes = 139
};

/* One property's value as the block holds it. */
typedef struct Value
{
    unsigned char b;
    int32_t i;
    float f;
} Value;

static void readBlock(const unsigned char* block, Value values[40])
{
    size_t offset = 0;
    for (int p = 0; p < 40; ++p)
    {
        memset(&values[p], 0, sizeof values[p]);
        if (kProperties[p].type == kBool)
            values[p].b = block[offset++];
        else
        {
            uint32_t bits = (uint32_t)block[offset] | (uint32_t)block[offset + 1] << 8 |
                            (uint32_t)block[offset + 2] << 16 | (uint32_t)block[offset + 3] << 24;
            if (kProperties[p].type == kInt)
                memcpy(&values[p].i, &bits, 4);
            else
                memcpy(&values[p].f, &bits, 4);
            offset += 4;
        }
    }
}

/* ------------------------------------------------------------------ unexpected slots */

/* A host object's slot that the module has no business calling: reaching it means the module
 * counts that object's slots differently from the host. */
#define UNEXPECTED(object, n)                                                                      \
    static void unexpected_##object##_##n(void* self)                                             \
    {                                                                                              \
        (void)self;                                                                                \
        ++g_failures;                                                                              \
        fprintf(stderr, "FAIL [%s] the module called slot %d of the host's " #object "\n", g_context, n); \
    }

/* ------------------------------------------------------------------ allocator (3 slots) */

struct Allocator
{
    const Slot* vtbl;
    long outstanding;
    long allocations;
    long frees;
};

UNEXPECTED(allocator, 0)

static void* allocatorMalloc(Allocator* self, size_t bytes)
{
    ++self->outstanding;
    ++self->allocations;
    return malloc(bytes);
}

static void allocatorFree(Allocator* self, void* pointer)
{
    if (pointer == NULL)
        return;
    --self->outstanding;
    ++self->frees;
    free(pointer);
}

static const Slot kAllocatorSlots[3] = {(Slot)unexpected_allocator_0, (Slot)allocatorMalloc,
                                          (Slot)allocatorFree};

/* ------------------------------------------------------------------ processing context (8 slots) */

typedef struct Context
{
    const Slot* vtbl;
    long records;
    long badRecords;
    uint32_t channels;
} Context;

UNEXPECTED(context, 0)
UNEXPECTED(context, 1)
UNEXPECTED(context, 2)
UNEXPECTED(context, 3)
UNEXPECTED(context, 4)
UNEXPECTED(context, 5)

static void contextPostMonitorData(Context* self, const void* data, uint32_t bytes)
{
    uint32_t n = 0;
    ++self->records;
    if (data == NULL || bytes < 4)
    {
        ++self->badRecords;
        return;
    }
    memcpy(&n, data, 4);
    if (n != self->channels || bytes != 4 + 28 * n)
        ++self->badRecords;
}

static unsigned char contextCanPostMonitorData(Context* self)
{
    (void)self;
    return 1;
}

static const Slot kContextSlots[8] = {
    (Slot)unexpected_context_0, (Slot)unexpected_context_1, (Slot)unexpected_context_2,
    (Slot)unexpected_context_3, (Slot)unexpected_context_4, (Slot)unexpected_context_5,
    (Slot)contextPostMonitorData, (Slot)contextCanPostMonitorData};

/* ------------------------------------------------------------------ property set (11 slots) */

typedef struct PropertySet
{
    const Slot* vtbl;
    Value values[40];
    GUID platform;
    long reads;
    long foreignPlatform;
} PropertySet;

static int propertyIndex(const WCHAR* name)
{
    for (int p = 0; p < 40; ++p)
        if (name != NULL && wcscmp(kProperties[p].name, name) == 0)
            return p;
    return -1;
}

static unsigned char propertyGetValue(PropertySet* self, const GUID* platform, const WCHAR* name, VARIANT* value)
{
    const int p = propertyIndex(name);
    ++self->reads;
    if (platform == NULL || memcmp(platform, &self->platform, sizeof(GUID)) != 0)
        ++self->foreignPlatform;
    if (p < 0 || value == NULL)
        return 0;
    VariantClear(value);
    switch (kProperties[p].type)
    {
    case kBool:
        V_VT(value) = VT_BOOL;
        V_BOOL(value) = self->values[p].b ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case kInt:
        V_VT(value) = VT_I4;
        V_I4(value) = self->values[p].i;
        break;
    case kFloat:
        V_VT(value) = VT_R4;
        V_R4(value) = self->values[p].f;
        break;
    }
    return 1;
}

static unsigned char propertySetValue(PropertySet* self, const GUID* platform, const WCHAR* name,
                                      const VARIANT* value)
{
    (void)self, (void)platform, (void)name, (void)value;
    return 1;
}

static unsigned char propertyIsRTPC(PropertySet* self, const WCHAR* name)
{
    (void)self, (void)name;
    return 0;
}

static void propertyGetCurrentPlatform(PropertySet* self, GUID* platform)
{
    *platform = self->platform;
}

UNEXPECTED(propertySet, 4)
UNEXPECTED(propertySet, 5)
UNEXPECTED(propertySet, 6)
UNEXPECTED(propertySet, 7)
UNEXPECTED(propertySet, 8)

static void* propertyGetChangeGroup(PropertySet* self, int32_t id)
{
    (void)self, (void)id;
    return NULL;
}

static void propertyQueryHost(PropertySet* self, uint32_t value, uint32_t* first, uint32_t* second,
                              uint32_t* third)
{
    (void)self;
    *first = 0x11111111u;
    *second = value ^ 0xA5A5A5A5u;
    *third = 0x33333333u;
}

static const Slot kPropertySetSlots[11] = {
    (Slot)propertyGetValue,       (Slot)propertySetValue,       (Slot)propertyIsRTPC,
    (Slot)propertyGetCurrentPlatform, (Slot)unexpected_propertySet_4, (Slot)unexpected_propertySet_5,
    (Slot)unexpected_propertySet_6, (Slot)unexpected_propertySet_7, (Slot)unexpected_propertySet_8,
    (Slot)propertyGetChangeGroup, (Slot)propertyQueryHost};

/* ------------------------------------------------------------------ block writer (10 slots) */

typedef struct BlockWriter
{
    const Slot* vtbl;
    unsigned char bytes[256];
    size_t size;
} BlockWriter;

static void writerPut(BlockWriter* self, const void* data, size_t n)
{
    if (self->size + n <= sizeof self->bytes)
        memcpy(self->bytes + self->size, data, n);
    self->size += n;
}

static unsigned char writerBool(BlockWriter* self, unsigned char value)
{
    const unsigned char byte = value != 0;
    writerPut(self, &byte, 1);
    return 1;
}

static unsigned char writerInt32(BlockWriter* self, int32_t value)
{
    writerPut(self, &value, 4); /* x64 is little-endian, as the block */
    return 1;
}

static unsigned char writerReal32(BlockWriter* self, float value)
{
    writerPut(self, &value, 4);
    return 1;
}

UNEXPECTED(writer, 0)
UNEXPECTED(writer, 1)
UNEXPECTED(writer, 2)
UNEXPECTED(writer, 3)
UNEXPECTED(writer, 5)
UNEXPECTED(writer, 6)
UNEXPECTED(writer, 8)

static const Slot kWriterSlots[10] = {
    (Slot)unexpected_writer_0, (Slot)unexpected_writer_1, (Slot)unexpected_writer_2,
    (Slot)unexpected_writer_3, (Slot)writerBool,          (Slot)unexpected_writer_5,
    (Slot)unexpected_writer_6, (Slot)writerInt32,         (Slot)unexpected_writer_8,
    (Slot)writerReal32};

/* ------------------------------------------------------------------ the module's tables */

/* The parameter object: slot 0 the scalar deleting destructor, then its five operations. */
typedef void* (*DeletingDestructorFn)(void* self, unsigned int flags);
typedef int32_t (*SetParamFn)(void* self, int32_t id, const void* value, uint32_t bytes);
typedef void* (*CloneFn)(void* self, Allocator* allocator);
typedef int32_t (*ParamsInitFn)(void* self, Allocator* allocator, const void* block, uint32_t bytes);
typedef int32_t (*TermFn)(void* self, Allocator* allocator);
typedef int32_t (*SetParamsBlockFn)(void* self, const void* block, uint32_t bytes);

/* The processor: slot 0 the scalar deleting destructor, then its eight operations. */
typedef int32_t (*ResetFn)(void* self);
typedef int32_t (*GetPluginInfoFn)(void* self, PluginInfo* info);
typedef unsigned char (*BoolFn)(void* self);
typedef uint32_t (*LatencyFn)(void* self);
typedef int32_t (*EffectInitFn)(void* self, Allocator* allocator, Context* context, void* params,
                                const AudioFormat* format);
typedef void (*ExecuteFn)(void* self, AudioBuffer* buffer);
typedef int32_t (*TimeSkipFn)(void* self, uint32_t* frames);

/* The authoring plugin object's 27 operations, slot = operation - 1. */
typedef void (*VoidFn)(void* self);
typedef int32_t (*IntFn)(void* self);
typedef void (*AttachFn)(void* self, PropertySet* set);
typedef void (*PropertyChangedFn)(void* self, const GUID* platform, const WCHAR* name);
typedef unsigned char (*WriteBankBlockFn)(void* self, const GUID* platform, BlockWriter* writer);
typedef HINSTANCE (*ResourceModuleFn)(void* self);
typedef unsigned char (*DialogResourceFn)(void* self, int32_t selector, UINT* id, void** table);
typedef unsigned char (*WindowMessageFn)(void* self, int32_t selector, HWND window, UINT message, WPARAM wp,
                                         LPARAM lp, LRESULT* result);
typedef unsigned char (*DisplayNameFn)(void* self, const WCHAR* name, WCHAR* buffer, UINT length);
typedef unsigned char (*ShowHelpFn)(void* self, HWND window, int32_t selector);
typedef void (*MonitorDataFn)(void* self, const MonitorEntry* entries, uint32_t count, unsigned char swap,
                              unsigned char extra);
typedef uint32_t (*ForwardQueryFn)(void* self, uint32_t value);
typedef unsigned char (*ValueRangeFn)(void* self, double* low, double* high);

/* ------------------------------------------------------------------ files */

static unsigned char* readFile(const char* path, size_t* size)
{
    FILE* f = fopen(path, "rb");
    unsigned char* data = NULL;
    long n;
    if (f == NULL)
        return NULL;
    if (fseek(f, 0, SEEK_END) == 0 && (n = ftell(f)) >= 0 && fseek(f, 0, SEEK_SET) == 0)
    {
        data = malloc((size_t)n + 1);
        if (data != NULL && fread(data, 1, (size_t)n, f) != (size_t)n)
        {
            free(data);
            data = NULL;
        }
        *size = (size_t)n;
    }
    fclose(f);
    return data;
}

/* ------------------------------------------------------------------ rendering as the host does */

typedef struct Render
{
    float* samples; /* interleaved */
    size_t frames;
} Render;

/* One buffer through the processor; its valid frames appended to `out`. */
static void playOne(void* effect, AudioBuffer* buffer, Render* out, size_t* capacity)
{
    const uint32_t channels = buffer->channelCount;
    CALL(ExecuteFn, effect, 7)(effect, buffer);
    if (out->frames + buffer->validFrames > *capacity)
    {
        *capacity = (out->frames + buffer->validFrames) * 2;
        out->samples = realloc(out->samples, *capacity * channels * sizeof(float));
    }
    for (uint32_t c = 0; c < channels; ++c)
        for (uint32_t i = 0; i < buffer->validFrames; ++i)
            out->samples[(out->frames + i) * channels + c] = buffer->data[c * buffer->maxFrames + i];
    out->frames += buffer->validFrames;
}

/* Plays `input` (interleaved stereo) through the processor in buffers of `block` frames:
 * the last buffer of the input carries state 17, then empty buffers follow while the
 * processor answers 45 (its tail). */
static Render playThrough(void* effect, const float* input, size_t inputFrames, uint32_t block)
{
    enum
    {
        kChannels = 2,
        kMaxTailBuffers = 1 << 20
    };
    Render out = {NULL, 0};
    size_t capacity = inputFrames + block;
    AudioBuffer buffer;
    size_t read = 0;
    out.samples = malloc(capacity * kChannels * sizeof(float));
    buffer.channelCount = kChannels;
    buffer.maxFrames = block;
    buffer.data = calloc((size_t)kChannels * block, sizeof(float));
    for (;;)
    {
        const size_t frames = inputFrames - read < block ? inputFrames - read : block;
        const int last = read + frames == inputFrames;
        for (uint32_t c = 0; c < kChannels; ++c)
            for (size_t i = 0; i < frames; ++i)
                buffer.data[c * block + i] = input[(read + i) * kChannels + c];
        buffer.validFrames = (uint32_t)frames;
        buffer.state = last ? kNoMoreData : kSuccess;
        read += frames;
        playOne(effect, &buffer, &out, &capacity);
        if (last)
            break;
    }
    for (long n = 0; buffer.state == kDataReady && n < kMaxTailBuffers; ++n)
    {
        buffer.validFrames = 0;
        buffer.state = kNoMoreData;
        playOne(effect, &buffer, &out, &capacity);
    }
    free(buffer.data);
    return out;
}

/* The render must equal the reference bit for bit. The reference may go on further: the tool
 * keeps feeding silence after the effect's own tail while the output still rings, which a
 * host's plain loop does not; what both played must be the same samples. */
static void compareWithReference(const char* what, Render render, const unsigned char* reference,
                                 size_t referenceBytes)
{
    const size_t bytes = render.frames * 2 * sizeof(float);
    g_context = what;
    CHECK(render.frames > 0 && bytes <= referenceBytes, "%zu frames rendered, the reference has %zu",
          render.frames, referenceBytes / (2 * sizeof(float)));
    if (bytes <= referenceBytes && memcmp(render.samples, reference, bytes) != 0)
    {
        size_t i = 0;
        while (memcmp(&render.samples[i], reference + i * sizeof(float), sizeof(float)) == 0)
            ++i;
        CHECK(0, "the samples differ from the reference from frame %zu, channel %zu on", i / 2, i % 2);
    }
    free(render.samples);
}

/* A processor made through the record, initialised with `params`; its table checked on the way. */
static void* makeEffect(const PluginRegistration* record, Allocator* allocator, Context* context, void* params)
{
    void* effect = record->createEffect(allocator);
    AudioFormat format = {48000, 2};
    PluginInfo info;
    uint32_t skipped = 256;
    CHECK(effect != NULL, "createEffect made nothing");
    if (effect == NULL)
        return NULL;
    CHECK(CALL(EffectInitFn, effect, 6)(effect, allocator, context, params, &format) == kSuccess,
          "slot 6 (initialise) failed");
    memset(&info, 0xCD, sizeof info);
    CHECK(CALL(GetPluginInfoFn, effect, 3)(effect, &info) == kSuccess, "slot 3 (plugin information) failed");
    CHECK(info.type == 3 && info.buildVersion == 516866 && info.isInPlace == 1,
          "slot 3 answered type %u, build %u, in place %u", info.type, info.buildVersion, info.isInPlace);
    CHECK(CALL(BoolFn, effect, 4)(effect) == 0, "slot 4 (a query answering false) answered true");
    CHECK(CALL(LatencyFn, effect, 5)(effect) == 0, "slot 5 (a query answering 0) answered otherwise");
    CHECK(CALL(ResetFn, effect, 2)(effect) == kSuccess, "slot 2 (reset) did not answer 1");
    CHECK(CALL(TimeSkipFn, effect, 8)(effect, &skipped) == kDataReady, "slot 8 did not answer 45");
    return effect;
}

/* ------------------------------------------------------------------ the sound-engine side */

static void probeSoundEngine(const PluginRegistration* record, const unsigned char* block, const float* demo,
                             size_t demoFrames, const unsigned char* reference, size_t referenceBytes,
                             uint32_t blockFrames)
{
    Allocator allocator = {kAllocatorSlots, 0, 0, 0};
    Context context = {kContextSlots, 0, 0, 2};
    Value values[40];
    void *params, *updated, *clone, *effect;
    int32_t dummy = 0;

    /* 1. The parameter object from the block. */
    g_context = "parameter object";
    params = record->createParams(&allocator);
    CHECK(params != NULL, "createParams made nothing");
    if (params == NULL)
        return;
    CHECK(CALL(ParamsInitFn, params, 3)(params, &allocator, block, kBlockBytes) == kSuccess,
          "slot 3 (initialise from a block) failed");
    /* Slot 1, set one parameter: an identifier outside the table is refused with 31. This is
     * the call that reaches a deleting destructor when the table has two destructor slots. */
    CHECK(CALL(SetParamFn, params, 1)(params, 77, &dummy, 4) == kInvalidParameter,
          "slot 1 (set one parameter) did not refuse identifier 77 with 31");
    CHECK(CALL(SetParamFn, params, 1)(params, 5, &dummy, 4) == kInvalidParameter,
          "slot 1 (set one parameter) did not refuse identifier 5 with 31");
    CHECK(CALL(SetParamsBlockFn, params, 5)(params, block, kBlockBytes) == kSuccess,
          "slot 5 (set all from a block) failed");

    effect = makeEffect(record, &allocator, &context, params);
    if (effect != NULL)
    {
        compareWithReference("render, parameter object from the block",
                             playThrough(effect, demo, demoFrames, blockFrames), reference, referenceBytes);
        g_context = "processor";
        CHECK(context.records > 0 && context.badRecords == 0, "%ld meter records posted, %ld of them malformed",
              context.records, context.badRecords);
        CHECK(CALL(TermFn, effect, 1)(effect, &allocator) == kSuccess, "slot 1 (terminate) did not answer 1");
    }

    /* 2. From the defaults, then the forty values one by one through slot 1. */
    g_context = "parameter object from single updates";
    readBlock(block, values);
    updated = record->createParams(&allocator);
    CHECK(updated != NULL && CALL(ParamsInitFn, updated, 3)(updated, &allocator, NULL, 0) == kSuccess,
          "slot 3 (initialise from the defaults) failed");
    if (updated == NULL)
        return;
    for (int p = 0; p < 40; ++p)
    {
        const Property* property = &kProperties[p];
        int32_t result;
        if (property->type == kBool)
            result = CALL(SetParamFn, updated, 1)(updated, property->id, &values[p].b, 1);
        else if (property->type == kInt && !property->sentAsFloat)
            result = CALL(SetParamFn, updated, 1)(updated, property->id, &values[p].i, 4);
        else
        {
            const float f = property->type == kInt ? (float)values[p].i : values[p].f;
            result = CALL(SetParamFn, updated, 1)(updated, property->id, &f, 4);
        }
        CHECK(result == kSuccess, "slot 1 refused %ls (identifier %d) with %d", property->name, property->id,
              result);
    }
    effect = makeEffect(record, &allocator, &context, updated);
    if (effect != NULL)
    {
        compareWithReference("render, parameter object from single updates",
                             playThrough(effect, demo, demoFrames, blockFrames), reference, referenceBytes);
        /* The scalar deleting destructor as a host's `delete` calls it: destroy and free. */
        g_context = "processor";
        {
            const long frees = allocator.frees;
            CHECK(CALL(DeletingDestructorFn, effect, 0)(effect, 1) == effect,
                  "slot 0 (deleting destructor) did not answer the object's address");
            CHECK(allocator.frees > frees, "slot 0 with flag 1 did not free the processor's memory");
        }
    }

    /* 3. A clone of the first parameter object renders the same. */
    g_context = "clone";
    clone = CALL(CloneFn, params, 2)(params, &allocator);
    CHECK(clone != NULL && clone != params, "slot 2 (clone) made nothing");
    if (clone != NULL)
    {
        effect = makeEffect(record, &allocator, &context, clone);
        if (effect != NULL)
        {
            compareWithReference("render, a clone of the parameter object",
                                 playThrough(effect, demo, demoFrames, blockFrames), reference, referenceBytes);
            CHECK(CALL(TermFn, effect, 1)(effect, &allocator) == kSuccess, "slot 1 (terminate) did not answer 1");
        }
        /* Destroyed in place (flag 0): the memory stays the host's to free. */
        {
            const long frees = allocator.frees;
            CHECK(CALL(DeletingDestructorFn, clone, 0)(clone, 0) == clone,
                  "slot 0 (deleting destructor) did not answer the object's address");
            CHECK(allocator.frees == frees, "slot 0 with flag 0 freed memory");
            allocatorFree(&allocator, clone);
        }
    }

    g_context = "parameter objects";
    {
        long frees = allocator.frees;
        CHECK(CALL(DeletingDestructorFn, updated, 0)(updated, 1) == updated,
              "slot 0 (deleting destructor) did not answer the object's address");
        CHECK(allocator.frees == frees + 1, "slot 0 with flag 1 did not free the parameter object");
    }
    CHECK(CALL(TermFn, params, 4)(params, &allocator) == kSuccess, "slot 4 (terminate) did not answer 1");
    g_context = "allocator";
    CHECK(allocator.outstanding == 0, "%ld allocations were never freed (of %ld)", allocator.outstanding,
          allocator.allocations);
}

/* ------------------------------------------------------------------ the authoring side */

static UINT g_helpMessages = 0;
static WPARAM g_helpTopic = 0;

static LRESULT CALLBACK helpWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp)
{
    if (message == 0x4981)
    {
        ++g_helpMessages;
        g_helpTopic = wp;
        return 0;
    }
    return DefWindowProcW(window, message, wp, lp);
}

static HWND makeHelpWindow(void)
{
    WNDCLASSW windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = helpWindowProc;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"CrumletAbiProbe";
    RegisterClassW(&windowClass);
    /* A message-only window: no display needed. */
    return CreateWindowExW(0, L"CrumletAbiProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, windowClass.hInstance,
                           NULL);
}

static void probePluginObject(HMODULE module, const unsigned char* block)
{
    typedef void* (*CreatePluginFn)(void);
    const FARPROC address = GetProcAddress(module, "ZqCreatePlugin");
    CreatePluginFn create = NULL;
    PropertySet properties;
    BlockWriter writer;
    void *plugin, *other;
    WCHAR name[64];
    UINT dialogId = 0;
    void* table = (void*)1;
    LRESULT result = 0x55;
    double low = -1.0, high = -1.0;
    MonitorEntry entry = {0, NULL, 0};
    HWND helpWindow = makeHelpWindow();

    memcpy(&create, &address, sizeof create);
    g_context = "plugin object";
    CHECK(create != NULL, "ZqCreatePlugin is not exported");
    if (create == NULL)
        return;
    plugin = create();
    other = create();
    CHECK(plugin != NULL && other != NULL && plugin != other, "two calls of ZqCreatePlugin made no two objects");
    if (plugin == NULL)
        return;

    memset(&properties, 0, sizeof properties);
    properties.vtbl = kPropertySetSlots;
    properties.platform.Data1 = 0x0C0FFEE0;
    properties.platform.Data4[7] = 7;
    readBlock(block, properties.values);
    memset(&writer, 0, sizeof writer);
    writer.vtbl = kWriterSlots;

    /* Operation n in slot n - 1. */
    CALL(AttachFn, plugin, 1)(plugin, &properties);                       /* 2 */
    CALL(VoidFn, plugin, 2)(plugin);                                      /* 3 */
    CALL(VoidFn, plugin, 3)(plugin);                                      /* 4 */
    CHECK(CALL(BoolFn, plugin, 4)(plugin) == 1, "operation 5 did not answer true");
    CALL(VoidFn, plugin, 5)(plugin);                                      /* 6 */
    CALL(VoidFn, plugin, 6)(plugin);                                      /* 7 */
    CHECK(CALL(BoolFn, plugin, 7)(plugin) == 0, "operation 8 did not answer false");
    CHECK(CALL(BoolFn, plugin, 8)(plugin) == 0, "operation 9 did not answer false");
    CHECK(CALL(BoolFn, plugin, 9)(plugin) == 1, "operation 10 did not answer true");
    CALL(VoidFn, plugin, 10)(plugin);                                     /* 11 */
    CALL(PropertyChangedFn, plugin, 11)(plugin, &properties.platform, L"EQFreq"); /* 12, no editor */
    CALL(VoidFn, plugin, 12)(plugin);                                     /* 13 */
    CALL(VoidFn, plugin, 13)(plugin);                                     /* 14 */
    CALL(VoidFn, plugin, 14)(plugin);                                     /* 15 */
    CHECK(CALL(WriteBankBlockFn, plugin, 15)(plugin, &properties.platform, &writer) == 1,
          "operation 16 (write the parameter block) did not answer true");
    CHECK(writer.size == kBlockBytes, "operation 16 wrote %zu bytes", writer.size);
    CHECK(writer.size == kBlockBytes && memcmp(writer.bytes, block, kBlockBytes) == 0,
          "operation 16 wrote another block than `crumlet bank`");
    CHECK(properties.reads == 40 && properties.foreignPlatform == 0,
          "operation 16 read %ld properties, %ld for another platform", properties.reads,
          properties.foreignPlatform);
    CHECK(CALL(BoolFn, plugin, 16)(plugin) == 0, "operation 17 did not answer false");
    CHECK(CALL(ResourceModuleFn, plugin, 17)(plugin) == module, "operation 18 did not answer the module's handle");
    CHECK(CALL(DialogResourceFn, plugin, 18)(plugin, 0, &dialogId, &table) == 1 && dialogId == 104 &&
              table == NULL,
          "operation 19 answered dialog %u", dialogId);
    CHECK(CALL(WindowMessageFn, plugin, 19)(plugin, 0, NULL, WM_SIZE, 0, 0, &result) == 0 && result == 0,
          "operation 20 consumed WM_SIZE or left the result set");
    result = 0x55;
    CHECK(CALL(WindowMessageFn, plugin, 19)(plugin, 0, NULL, WM_DESTROY, 0, 0, &result) == 0 && result == 0,
          "operation 20 consumed WM_DESTROY without an editor");
    memset(name, 0, sizeof name);
    CHECK(CALL(DisplayNameFn, plugin, 20)(plugin, L"EQQ", name, 64) == 1 && wcscmp(name, L"EQ Q factor") == 0,
          "operation 21 named EQQ \"%ls\"", name);
    CHECK(CALL(DisplayNameFn, plugin, 20)(plugin, L"EQQ", name, 5) == 1 && wcscmp(name, L"EQ Q") == 0,
          "operation 21 did not cut the name to a 5-character buffer: \"%ls\"", name);
    name[0] = L'x';
    CHECK(CALL(DisplayNameFn, plugin, 20)(plugin, L"NULL", name, 64) == 0 && name[0] == L'x',
          "operation 21 answered for NULL or wrote the buffer");
    CHECK(CALL(BoolFn, plugin, 21)(plugin) == 0, "operation 22 did not answer false");
    CHECK(CALL(ShowHelpFn, plugin, 22)(plugin, helpWindow, 1) == 0 && g_helpMessages == 0,
          "operation 23 answered selector 1");
    CHECK(helpWindow != NULL && CALL(ShowHelpFn, plugin, 22)(plugin, helpWindow, 0) == 1 && g_helpMessages == 1 &&
              g_helpTopic == 114,
          "operation 23 with selector 0 sent %u help messages (topic %u)", g_helpMessages, (unsigned)g_helpTopic);
    CALL(MonitorDataFn, plugin, 23)(plugin, &entry, 1, 0, 0);             /* 24, no editor */
    CHECK(CALL(IntFn, plugin, 24)(plugin) == 0, "operation 25 did not answer 0");
    CHECK(CALL(ForwardQueryFn, plugin, 25)(plugin, 0x1234) == (0x1234 ^ 0xA5A5A5A5u),
          "operation 26 did not answer the property set's second value");
    CHECK(CALL(ValueRangeFn, plugin, 26)(plugin, &low, &high) == 0 && low == 0.0 &&
              high == 3.4028234663852886e38,
          "operation 27 answered %g .. %g", low, high);
    CALL(VoidFn, plugin, 0)(plugin);                                      /* 1: destroy */
    if (other != NULL)
        CALL(VoidFn, other, 0)(other);
    if (helpWindow != NULL)
        DestroyWindow(helpWindow);
}

/* ------------------------------------------------------------------ main */

int main(int argc, char** argv)
{
    WCHAR modulePath[MAX_PATH];
    HMODULE module;
    PluginRegistration* const* list;
    const PluginRegistration* record;
    unsigned char *block, *demo, *reference;
    size_t blockBytes = 0, demoBytes = 0, referenceBytes = 0;
    uint32_t blockFrames = 512;
    int records = 0;

    if (argc < 5)
    {
        fprintf(stderr, "usage: abi_probe MODULE.dll BLOCK.bank DEMO.f32 REFERENCE.f32 [BLOCK_FRAMES]\n");
        return 100;
    }
    if (argc > 5)
        blockFrames = (uint32_t)strtoul(argv[5], NULL, 10);
    block = readFile(argv[2], &blockBytes);
    demo = readFile(argv[3], &demoBytes);
    reference = readFile(argv[4], &referenceBytes);
    if (block == NULL || blockBytes != kBlockBytes || demo == NULL || reference == NULL || blockFrames == 0)
    {
        fprintf(stderr, "abi_probe: cannot read the block (139 bytes), the demo or the reference\n");
        return 100;
    }

    g_context = "module";
    MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, modulePath, MAX_PATH);
    module = LoadLibraryW(modulePath);
    CHECK(module != NULL, "LoadLibraryW failed (%lu)", (unsigned long)GetLastError());
    if (module == NULL)
        return g_failures;
    {
        /* An exported variable: its address comes back as a procedure's. */
        const FARPROC address = GetProcAddress(module, "g_pZQPluginList");
        memcpy(&list, &address, sizeof list);
    }
    CHECK(list != NULL, "g_pZQPluginList is not exported");
    if (list == NULL)
        return g_failures;
    for (const PluginRegistration* r = *list; r != NULL; r = r->next)
        ++records;
    record = *list;
    CHECK(records == 1, "the registration list has %d records", records);
    if (record == NULL)
        return g_failures;
    CHECK(record->type == 3 && record->companyId != 0 && record->pluginId != 0 && record->reserved == NULL &&
              record->createEffect != NULL && record->createParams != NULL,
          "the record reads type %u, company %u, plugin %u", record->type, record->companyId, record->pluginId);

    probeSoundEngine(record, block, (const float*)(void*)demo, demoBytes / (2 * sizeof(float)), reference,
                     referenceBytes, blockFrames);
    probePluginObject(module, block);

    if (g_failures == 0)
        printf("abi_probe: every slot answered as the host expects (record: company %u, plugin %u)\n",
               record->companyId, record->pluginId);
    else
        printf("abi_probe: %d checks failed\n", g_failures);
    free(block);
    free(demo);
    free(reference);
    return g_failures;
}
