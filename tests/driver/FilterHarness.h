/* Runs the filter's callbacks in user mode: builds the callback record of
 * one request, calls the callback the filter registered for its major
 * function, and stands in for the Filter Manager's name functions. Names
 * are normalized by FilterTestNormalize, which the test supplies. */
#ifndef FILTER_HARNESS_H
#define FILTER_HARNESS_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct FilterRequest {
    unsigned char major;
    unsigned long desiredAccess;     /* IRP_MJ_CREATE */
    unsigned long createOptions;     /* IRP_MJ_CREATE: disposition << 24 | options */
    unsigned char operationFlags;    /* SL_* of the request */
    unsigned long irpFlags;          /* IRP_* of the request */
    int fastIo;                      /* arrives as fast I/O rather than as an IRP */
    int informationClass;            /* IRP_MJ_SET_INFORMATION */
    unsigned char deleteOrAdvance;   /* DeleteFile of a disposition, AdvanceOnly of an end of file */
    unsigned long dispositionFlags;  /* FileDispositionInformationEx */
    const wchar_t* name;             /* the target as the caller spelled it */
    const wchar_t* destination;      /* rename and hard link: the new name as spelled */
    void* instance;                  /* the volume's instance */
} FilterRequest;

/* What the callback returned (FLT_PREOP_*); *status is the request's status
 * when it was completed, else 0. */
int FilterRun(const FilterRequest* request, long* status);

/* Name information handed out and not yet released. */
long FilterNamesHeld(void);

/* Supplied by the test: writes the normalized name of the spelling into
 * out (at most capacity units with the terminator) and returns 1, or returns
 * 0 when the name cannot be had. Counts the questions. */
int FilterTestNormalize(const wchar_t* spelling, unsigned spellingUnits, wchar_t* out, unsigned capacity);

#ifdef __cplusplus
}
#endif

#endif
