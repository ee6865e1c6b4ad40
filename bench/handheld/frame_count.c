/* A qemu TCG plugin that measures the program's main loop on an ARM core:
 * the guest instructions of each loop iteration, and the heap and stack the
 * process uses. It changes nothing in the program: it watches the addresses
 * of a few functions, looked up in the binary's symbol table by the caller,
 * and the system calls that move the heap.
 *
 *   qemu-arm -plugin frame_count.so,out=FILE,frame=ADDR,off=ADDR,on=ADDR,end=ADDR PROGRAM ...
 *
 * ADDR: hexadecimal entry address of a function (0x...).
 *   frame  the first call of the loop body: ends the previous iteration and
 *          starts the next one, counting;
 *   off    counting stops (the vertical-blank wait: on the handheld that is
 *          idle time, under simulation it is the simulator's frame work);
 *   on     counting goes on (the first call after the wait);
 *   end    the loop is over (the first call of the shut-down): ends the
 *          last iteration.
 * Each may be given more than once. Instructions between `off` and `on` and
 * everything outside the loop are not counted.
 *   upper  (optional, hexadecimal) the physical page number of upper memory:
 *          the mapping of /dev/mem at that page offset (mmap2) is watched, and
 *          the stores into it (one for each word of a store-multiple) and their
 *          bytes are counted per iteration, like the instructions.
 *
 * FILE gets one line per iteration with its instruction count, then
 *   heap_peak BYTES   highest program break above the first one, plus the
 *                     most anonymous mmap bytes mapped at one time
 *   stack_peak BYTES  from the highest to the lowest address written through
 *                     the stack pointer
 *   brk_calls N, mmap_calls N, unknown_maps N (old_mmap, arguments in memory)
 *   upper_stores_mean N, upper_stores_worst N, upper_bytes_mean N,
 *   upper_bytes_worst N  (with `upper`: stores into upper memory per iteration)
 */
#include <qemu-plugin.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

QEMU_PLUGIN_EXPORT int qemu_plugin_version = QEMU_PLUGIN_VERSION;

enum { MARK_FRAME, MARK_OFF, MARK_ON, MARK_END, MARK_KINDS };
enum { MAX_MARKS = 16, MAX_MAPS = 4096 };

/* Instructions executed so far: each translation block adds its length when
 * it starts. A marker in the middle of a block subtracts the block's
 * instructions from the marker on, which have not run yet. */
static uint64_t g_executed;

static uint64_t g_marks[MARK_KINDS][MAX_MARKS];
static int g_mark_count[MARK_KINDS];

static int g_in_frame, g_counting;
static uint64_t g_segment_start, g_frame_sum;
static uint64_t* g_frames;
static size_t g_frame_count, g_frame_capacity;
static const char* g_out_path;

static uint64_t g_brk_first, g_brk_peak;
static struct { uint64_t addr, len; } g_maps[MAX_MAPS];
static int g_map_count;
static uint64_t g_mapped, g_mapped_peak;
static uint64_t g_brk_calls, g_mmap_calls, g_unknown_maps;
static uint64_t g_stack_low = UINT64_MAX, g_stack_high;

/* Upper memory: its physical page, where it is mapped, and this iteration's
 * stores into it; the sums and worst figures over the iterations. */
static uint64_t g_upper_page = UINT64_MAX, g_upper_lo, g_upper_hi;
static uint64_t g_upper_stores, g_upper_bytes;
static uint64_t g_upper_store_sum, g_upper_store_worst, g_upper_byte_sum, g_upper_byte_worst;
static int g_pending_upper;

/* Pending mmap-like call, completed by its return. */
static int64_t g_pending_num = -1;
static uint64_t g_pending_len, g_pending_old_addr, g_pending_old_len;

static void frame_push(uint64_t n) {
    if (g_frame_count == g_frame_capacity) {
        g_frame_capacity = g_frame_capacity ? g_frame_capacity * 2 : 8192;
        g_frames = realloc(g_frames, g_frame_capacity * sizeof *g_frames);
        if (!g_frames) abort();
    }
    g_frames[g_frame_count++] = n;
}

static void frame_close(uint64_t now) {
    if (!g_in_frame) return;
    if (g_counting) g_frame_sum += now - g_segment_start;
    frame_push(g_frame_sum);
    g_upper_store_sum += g_upper_stores;
    g_upper_byte_sum += g_upper_bytes;
    if (g_upper_stores > g_upper_store_worst) g_upper_store_worst = g_upper_stores;
    if (g_upper_bytes > g_upper_byte_worst) g_upper_byte_worst = g_upper_bytes;
    g_upper_stores = g_upper_bytes = 0;
    g_in_frame = g_counting = 0;
}

static void on_exit_cb(qemu_plugin_id_t id, void* udata);

static void on_mark(unsigned int vcpu, void* udata) {
    (void)vcpu;
    const uintptr_t v = (uintptr_t)udata;
    const int kind = (int)(v & 3);
    const uint64_t now = g_executed - (v >> 2);
    switch (kind) {
    case MARK_FRAME:
        frame_close(now);
        g_in_frame = g_counting = 1;
        g_frame_sum = 0;
        g_segment_start = now;
        break;
    case MARK_OFF:
        if (g_in_frame && g_counting) {
            g_frame_sum += now - g_segment_start;
            g_counting = 0;
        }
        break;
    case MARK_ON:
        if (g_in_frame && !g_counting) {
            g_counting = 1;
            g_segment_start = now;
        }
        break;
    case MARK_END:
        frame_close(now);
        /* Written now too: a program that ends by execve (the device program
         * starts the launcher) never reaches qemu's exit. */
        on_exit_cb(0, NULL);
        break;
    }
}

static int mark_kind(uint64_t addr) {
    for (int k = 0; k < MARK_KINDS; ++k)
        for (int i = 0; i < g_mark_count[k]; ++i)
            if (g_marks[k][i] == addr) return k;
    return -1;
}

static void on_store(unsigned int vcpu, qemu_plugin_meminfo_t info, uint64_t vaddr, void* udata) {
    (void)vcpu, (void)udata;
    if (!g_counting || vaddr < g_upper_lo || vaddr >= g_upper_hi) return;
    ++g_upper_stores;
    g_upper_bytes += 1u << qemu_plugin_mem_size_shift(info);
}

/* Whether a 4-byte ARM instruction writes memory through r13: single and
 * multiple transfers and the halfword / doubleword stores, base register sp. */
static int arm_stack_store(uint32_t w) {
    if ((w >> 28) == 0xF) return 0; /* unconditional space: no stack stores */
    const uint32_t rn = (w >> 16) & 15, load = (w >> 20) & 1;
    if (rn != 13) return 0;
    if ((w & 0x0C000000) == 0x04000000) return !load && !((w & 0x02000010) == 0x02000010);
    if ((w & 0x0E000000) == 0x08000000) return !load;
    if ((w & 0x0E000090) == 0x00000090) {
        const uint32_t sh = (w >> 5) & 3;
        return !load && (sh == 1 || sh == 3); /* STRH, STRD */
    }
    return 0;
}

static void on_stack_store(unsigned int vcpu, qemu_plugin_meminfo_t info, uint64_t vaddr,
                           void* udata) {
    (void)vcpu;
    (void)udata;
    const uint64_t last = vaddr + (1u << qemu_plugin_mem_size_shift(info)) - 1;
    if (vaddr < g_stack_low) g_stack_low = vaddr;
    if (last > g_stack_high) g_stack_high = last;
}

static void on_tb(qemu_plugin_id_t id, struct qemu_plugin_tb* tb) {
    (void)id;
    const size_t n = qemu_plugin_tb_n_insns(tb);
    qemu_plugin_register_vcpu_tb_exec_inline(tb, QEMU_PLUGIN_INLINE_ADD_U64, &g_executed, n);
    for (size_t i = 0; i < n; ++i) {
        struct qemu_plugin_insn* insn = qemu_plugin_tb_get_insn(tb, i);
        const int kind = mark_kind(qemu_plugin_insn_vaddr(insn));
        if (kind >= 0) {
            const uintptr_t udata = ((uintptr_t)(n - i) << 2) | (uintptr_t)kind;
            qemu_plugin_register_vcpu_insn_exec_cb(insn, on_mark, QEMU_PLUGIN_CB_NO_REGS,
                                                   (void*)udata);
        }
        if (g_upper_page != UINT64_MAX)
            qemu_plugin_register_vcpu_mem_cb(insn, on_store, QEMU_PLUGIN_CB_NO_REGS,
                                             QEMU_PLUGIN_MEM_W, NULL);
        if (qemu_plugin_insn_size(insn) == 4) {
            uint32_t w;
            memcpy(&w, qemu_plugin_insn_data(insn), 4);
            if (arm_stack_store(w))
                qemu_plugin_register_vcpu_mem_cb(insn, on_stack_store, QEMU_PLUGIN_CB_NO_REGS,
                                                 QEMU_PLUGIN_MEM_W, NULL);
        }
    }
}

/* The live anonymous mappings, so that munmap and mremap give bytes back. */
static void maps_remove(uint64_t addr, uint64_t len) {
    const uint64_t end = addr + len;
    for (int i = 0; i < g_map_count; ++i) {
        const uint64_t a = g_maps[i].addr, e = a + g_maps[i].len;
        if (e <= addr || a >= end) continue;
        const uint64_t lo = a > addr ? a : addr, hi = e < end ? e : end;
        g_mapped -= hi - lo;
        if (a < lo && e > hi && g_map_count < MAX_MAPS) { /* a hole in the middle */
            g_maps[g_map_count].addr = hi;
            g_maps[g_map_count].len = e - hi;
            ++g_map_count;
            g_maps[i].len = lo - a;
        } else if (a < lo) {
            g_maps[i].len = lo - a;
        } else if (e > hi) {
            g_maps[i].addr = hi;
            g_maps[i].len = e - hi;
        } else {
            g_maps[i] = g_maps[--g_map_count];
            --i;
        }
    }
}

static void maps_add(uint64_t addr, uint64_t len) {
    if (g_map_count == MAX_MAPS) return;
    g_maps[g_map_count].addr = addr;
    g_maps[g_map_count].len = len;
    ++g_map_count;
    g_mapped += len;
    if (g_mapped > g_mapped_peak) g_mapped_peak = g_mapped;
}

/* ARM Linux call numbers, the same in the old ABI (swi 0x900000 + n) and in
 * EABI (r7 = n). */
enum { SYS_BRK = 45, SYS_OLD_MMAP = 90, SYS_MUNMAP = 91, SYS_MREMAP = 163, SYS_MMAP2 = 192 };
enum { MAP_ANONYMOUS_ARM = 0x20 };

static void on_syscall(qemu_plugin_id_t id, unsigned int vcpu, int64_t num, uint64_t a1,
                       uint64_t a2, uint64_t a3, uint64_t a4, uint64_t a5, uint64_t a6, uint64_t a7,
                       uint64_t a8) {
    (void)id, (void)vcpu, (void)a3, (void)a5, (void)a7, (void)a8;
    g_pending_num = -1;
    g_pending_upper = 0;
    switch (num) {
    case SYS_BRK:
        g_pending_num = num;
        break;
    case SYS_MMAP2:
        ++g_mmap_calls;
        if (a4 & MAP_ANONYMOUS_ARM) {
            g_pending_num = num;
            g_pending_len = a2;
        } else if (a6 == g_upper_page) {
            g_pending_num = num;
            g_pending_len = a2;
            g_pending_upper = 1;
        }
        break;
    case SYS_OLD_MMAP:
        ++g_mmap_calls;
        ++g_unknown_maps;
        break;
    case SYS_MUNMAP:
        maps_remove(a1, a2);
        break;
    case SYS_MREMAP:
        g_pending_num = num;
        g_pending_old_addr = a1;
        g_pending_old_len = a2;
        g_pending_len = a3;
        break;
    }
}

static void on_syscall_return(qemu_plugin_id_t id, unsigned int vcpu, int64_t num, int64_t ret) {
    (void)id, (void)vcpu;
    if (num != g_pending_num) return;
    g_pending_num = -1;
    const uint64_t r = (uint32_t)ret;
    const int failed = r >= 0xFFFFF000u;
    switch (num) {
    case SYS_BRK:
        ++g_brk_calls;
        if (g_brk_first == 0) g_brk_first = r;
        if (r > g_brk_peak) g_brk_peak = r;
        break;
    case SYS_MMAP2:
        if (failed) break;
        if (g_pending_upper) {
            g_upper_lo = r;
            g_upper_hi = r + g_pending_len;
        } else {
            maps_add(r, (g_pending_len + 4095) & ~(uint64_t)4095);
        }
        break;
    case SYS_MREMAP:
        if (!failed) {
            /* Only mappings we track (anonymous ones) are moved. */
            const uint64_t before = g_mapped;
            maps_remove(g_pending_old_addr, g_pending_old_len);
            if (g_mapped != before) maps_add(r, (g_pending_len + 4095) & ~(uint64_t)4095);
        }
        break;
    }
}

static void on_exit_cb(qemu_plugin_id_t id, void* udata) {
    (void)id, (void)udata;
    FILE* f = fopen(g_out_path, "w");
    if (!f) {
        fprintf(stderr, "frame_count: cannot write %s\n", g_out_path);
        return;
    }
    for (size_t i = 0; i < g_frame_count; ++i)
        fprintf(f, "%llu\n", (unsigned long long)g_frames[i]);
    const uint64_t heap = (g_brk_peak > g_brk_first ? g_brk_peak - g_brk_first : 0) + g_mapped_peak;
    fprintf(f, "heap_peak %llu\n", (unsigned long long)heap);
    fprintf(f, "stack_peak %llu\n",
            (unsigned long long)(g_stack_high >= g_stack_low ? g_stack_high - g_stack_low + 1 : 0));
    fprintf(f, "brk_calls %llu\nmmap_calls %llu\nunknown_maps %llu\n",
            (unsigned long long)g_brk_calls, (unsigned long long)g_mmap_calls,
            (unsigned long long)g_unknown_maps);
    if (g_upper_page != UINT64_MAX && g_frame_count)
        fprintf(f,
                "upper_stores_mean %llu\nupper_stores_worst %llu\n"
                "upper_bytes_mean %llu\nupper_bytes_worst %llu\n",
                (unsigned long long)(g_upper_store_sum / g_frame_count),
                (unsigned long long)g_upper_store_worst,
                (unsigned long long)(g_upper_byte_sum / g_frame_count),
                (unsigned long long)g_upper_byte_worst);
    fclose(f);
}

QEMU_PLUGIN_EXPORT int qemu_plugin_install(qemu_plugin_id_t id, const qemu_info_t* info, int argc,
                                           char** argv) {
    static const char* const names[MARK_KINDS] = {"frame", "off", "on", "end"};
    (void)info;
    for (int i = 0; i < argc; ++i) {
        const char* eq = strchr(argv[i], '=');
        if (!eq) goto bad;
        const size_t key = (size_t)(eq - argv[i]);
        if (key == 3 && strncmp(argv[i], "out", 3) == 0) {
            g_out_path = eq + 1;
            continue;
        }
        if (key == 5 && strncmp(argv[i], "upper", 5) == 0) {
            char* end;
            g_upper_page = strtoull(eq + 1, &end, 16);
            if (*end != '\0' || end == eq + 1) goto bad;
            continue;
        }
        int kind = -1;
        for (int k = 0; k < MARK_KINDS; ++k)
            if (strlen(names[k]) == key && strncmp(argv[i], names[k], key) == 0) kind = k;
        char* end;
        const unsigned long long addr = strtoull(eq + 1, &end, 16);
        if (kind < 0 || *end != '\0' || end == eq + 1 || g_mark_count[kind] == MAX_MARKS) goto bad;
        g_marks[kind][g_mark_count[kind]++] = addr;
        continue;
    bad:
        fprintf(stderr, "frame_count: bad argument '%s'\n", argv[i]);
        return 1;
    }
    if (!g_out_path || g_mark_count[MARK_FRAME] == 0) {
        fprintf(stderr, "frame_count: needs out=FILE and at least one frame=ADDR\n");
        return 1;
    }
    qemu_plugin_register_vcpu_tb_trans_cb(id, on_tb);
    qemu_plugin_register_vcpu_syscall_cb(id, on_syscall);
    qemu_plugin_register_vcpu_syscall_ret_cb(id, on_syscall_return);
    qemu_plugin_register_atexit_cb(id, on_exit_cb, NULL);
    return 0;
}
