/* Preloaded into 32-bit Wine under qemu's user-mode emulation: fills in the trap number of fault
 * signal frames, which qemu leaves at -1 and Wine's fault handling reads. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stddef.h>
#include <ucontext.h>

typedef void (*handler_fn)(int, siginfo_t *, void *);
typedef int (*sigaction_fn)(int, const struct sigaction *, struct sigaction *);

static sigaction_fn next_sigaction;
static handler_fn wine_handlers[65];

/* The x86 exception the kernel would have reported for this signal. */
static int trap_number(int sig, const siginfo_t *info) {
    switch (sig) {
    case SIGSEGV:
        return info->si_code == SEGV_MAPERR || info->si_code == SEGV_ACCERR ? 14 : 13;
    case SIGBUS:
        return info->si_code == BUS_ADRALN ? 17 : info->si_code == BUS_ADRERR ? 14 : 11;
    case SIGILL:
        return 6;
    case SIGFPE:
        return info->si_code == FPE_INTDIV ? 0 : info->si_code == FPE_INTOVF ? 4 : 16;
    case SIGTRAP:
        return info->si_code == TRAP_TRACE ? 1 : 3;
    default:
        return -1;
    }
}

__attribute__((force_align_arg_pointer)) static void fix_then_call(int sig, siginfo_t *info,
                                                                   void *context) {
    ucontext_t *uc = context;
    if (uc && info && info->si_code > 0 && (int)uc->uc_mcontext.gregs[REG_TRAPNO] == -1)
        uc->uc_mcontext.gregs[REG_TRAPNO] = trap_number(sig, info);
    wine_handlers[sig](sig, info, context);
}

static int is_fault(int sig) {
    return sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGFPE || sig == SIGTRAP;
}

int sigaction(int sig, const struct sigaction *act, struct sigaction *old) {
    if (!next_sigaction)
        next_sigaction = (sigaction_fn)dlsym(RTLD_NEXT, "sigaction");
    if (!is_fault(sig) || !act || !(act->sa_flags & SA_SIGINFO))
        return next_sigaction(sig, act, old);
    handler_fn previous = wine_handlers[sig];
    struct sigaction wrapped = *act;
    wrapped.sa_sigaction = fix_then_call;
    wine_handlers[sig] = act->sa_sigaction;
    int result = next_sigaction(sig, &wrapped, old);
    if (result == 0 && old && (old->sa_flags & SA_SIGINFO) && old->sa_sigaction == fix_then_call)
        old->sa_sigaction = previous;
    return result;
}
