/* The engine side as a web page calls it (the WebAssembly build, build-wasm/web/): an effect
 * made from a parameter block, buffers processed in place, settings changed between buffers.
 * Plain C, so that JavaScript reaches every call through the module's exports
 * (Module._crumlet_engine_create and so on; web/README.md shows a page's use).
 *
 * Each engine plays one stream as the host plays it live, buffer by buffer: the same samples as
 * `crumlet render --bank` and crumlet-play give for the same buffers. Nothing allocates after
 * create, so process may run on an audio thread. */
#ifndef CRUMLET_ENGINE_H
#define CRUMLET_ENGINE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct CrumletEngine CrumletEngine;

/* An engine from a 139-byte parameter block (what `crumlet bank --out` writes), for a stream of
 * `channels` channels (1 to 64) at `sampleRate` Hz in buffers of at most `maxFrames` frames (1
 * to 65536). Null when the block is not 139 bytes, a figure is out of range or the effect
 * cannot be made. */
CrumletEngine* crumlet_engine_create(const uint8_t* block, uint32_t bytes, uint32_t sampleRate, uint32_t channels,
                                     uint32_t maxFrames);

/* One buffer of `frames` frames (at most maxFrames), processed in place. Interleaved:
 * samples[frame * channels + channel]; planar: samples[channel * frames + frame]. Answer 0, or
 * -1 for a null engine or samples, or too many frames (the samples are then left alone). */
int32_t crumlet_engine_process_interleaved(CrumletEngine* engine, float* samples, uint32_t frames);
int32_t crumlet_engine_process_planar(CrumletEngine* engine, float* samples, uint32_t frames);

/* Every setting from a new 139-byte block, from the next buffer on. Answer 0, or -1. */
int32_t crumlet_engine_set_block(CrumletEngine* engine, const uint8_t* block, uint32_t bytes);

/* One parameter, by its identifier, to `value` (a switch is on from 0.5, a list takes its
 * entry's index), from the next buffer on, as the host's single-parameter updates carry it.
 * Answer 0, -1 for an identifier no parameter has, or the host code the effect refused it with. */
int32_t crumlet_engine_set_parameter(CrumletEngine* engine, uint32_t id, double value);

/* The identifier of a parameter by its property name ("SIMType", "LoFiBits", ...; `crumlet
 * params` lists them), or -1. */
int32_t crumlet_engine_parameter_id(const char* name);

void crumlet_engine_destroy(CrumletEngine* engine);

#ifdef __cplusplus
}
#endif

#endif
