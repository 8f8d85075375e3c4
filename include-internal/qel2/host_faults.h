/*
 * Fault injection in the stand-in host, for tests: makes the host's
 * allocating calls (array_new, array_append, strarray_append and the host
 * record constructors) fail as if memory were exhausted.
 *
 * Not part of <qel2/qel2.h>: a real calendar server has no such call.
 */
#ifndef QEL2_HOST_FAULTS_H
#define QEL2_HOST_FAULTS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The next `successes` allocating host calls succeed, every later one
 * fails. A negative value switches the injection off (the default). */
void qel2host_FailAllocationsAfter(int32_t successes);

/* Called by each allocating host service before it allocates: 1 when it
 * may go on, 0 when it must fail. */
int qel2host_AllocationAllowed(void);

#ifdef __cplusplus
}
#endif

#endif /* QEL2_HOST_FAULTS_H */
