/*
 * QEL2_API marks what the library exports to its host. The library is built
 * with every other symbol hidden, so only declarations carrying the mark
 * are part of its dynamic symbol table.
 */
#ifndef QEL2_EXPORT_H
#define QEL2_EXPORT_H

#if defined(__GNUC__)
#define QEL2_API __attribute__((visibility("default")))
#else
#define QEL2_API
#endif

#endif /* QEL2_EXPORT_H */
