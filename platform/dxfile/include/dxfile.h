#pragma once
// The DirectX file library, declared from the public documentation: ".x" files hold data objects,
// each an instance of a template that lists its members; objects may hold child objects,
// references to other objects by name and binary blobs. The reader takes text and binary
// files with 32- or 64-bit floats (not the compressed forms).
#include <win32/types.h>

typedef DWORD DXFILEFORMAT;
#define DXFILEFORMAT_BINARY 0
#define DXFILEFORMAT_TEXT 1
#define DXFILEFORMAT_COMPRESSED 2

typedef DWORD DXFILELOADOPTIONS;
#define DXFILELOAD_FROMFILE 0x00L
#define DXFILELOAD_FROMRESOURCE 0x01L
#define DXFILELOAD_FROMMEMORY 0x02L
#define DXFILELOAD_FROMSTREAM 0x04L
#define DXFILELOAD_FROMURL 0x08L

// A resource of a module: on this platform lpName is either a name whose text is a decimal id
// or an integer id cast to a pointer (below 0x10000), and lpType the resource type text.
struct DXFILELOADRESOURCE
{
    HMODULE hModule;
    LPCSTR lpName;
    LPCSTR lpType;
};
typedef DXFILELOADRESOURCE* LPDXFILELOADRESOURCE;

struct DXFILELOADMEMORY
{
    LPVOID lpMemory;
    DWORD dSize;
};
typedef DXFILELOADMEMORY* LPDXFILELOADMEMORY;

// Results: facility 0x876, as the library's own codes.
#define MAKE_DXFILEHRESULT(code) MAKE_HRESULT(1, 0x876, code)
#define DXFILE_OK 0
#define DXFILEERR_BADOBJECT MAKE_DXFILEHRESULT(850)
#define DXFILEERR_BADVALUE MAKE_DXFILEHRESULT(851)
#define DXFILEERR_BADTYPE MAKE_DXFILEHRESULT(852)
#define DXFILEERR_BADSTREAMHANDLE MAKE_DXFILEHRESULT(853)
#define DXFILEERR_BADALLOC MAKE_DXFILEHRESULT(854)
#define DXFILEERR_NOTFOUND MAKE_DXFILEHRESULT(855)
#define DXFILEERR_NOTDONEYET MAKE_DXFILEHRESULT(856)
#define DXFILEERR_FILENOTFOUND MAKE_DXFILEHRESULT(857)
#define DXFILEERR_RESOURCENOTFOUND MAKE_DXFILEHRESULT(858)
#define DXFILEERR_URLNOTFOUND MAKE_DXFILEHRESULT(859)
#define DXFILEERR_BADRESOURCE MAKE_DXFILEHRESULT(860)
#define DXFILEERR_BADFILETYPE MAKE_DXFILEHRESULT(861)
#define DXFILEERR_BADFILEVERSION MAKE_DXFILEHRESULT(862)
#define DXFILEERR_BADFILEFLOATSIZE MAKE_DXFILEHRESULT(863)
#define DXFILEERR_BADFILECOMPRESSIONTYPE MAKE_DXFILEHRESULT(864)
#define DXFILEERR_BADFILE MAKE_DXFILEHRESULT(865)
#define DXFILEERR_PARSEERROR MAKE_DXFILEHRESULT(866)
#define DXFILEERR_NOTEMPLATE MAKE_DXFILEHRESULT(867)
#define DXFILEERR_BADARRAYSIZE MAKE_DXFILEHRESULT(868)
#define DXFILEERR_BADDATAREFERENCE MAKE_DXFILEHRESULT(869)
#define DXFILEERR_INTERNALERROR MAKE_DXFILEHRESULT(870)
#define DXFILEERR_NOMOREOBJECTS MAKE_DXFILEHRESULT(871)
#define DXFILEERR_BADINTRINSICS MAKE_DXFILEHRESULT(872)
#define DXFILEERR_NOMORESTREAMHANDLES MAKE_DXFILEHRESULT(873)
#define DXFILEERR_NOMOREDATA MAKE_DXFILEHRESULT(874)
#define DXFILEERR_BADCACHEFILE MAKE_DXFILEHRESULT(875)
#define DXFILEERR_NOINTERNET MAKE_DXFILEHRESULT(876)

// Interface identifiers.
inline constexpr GUID IID_IDirectXFile = {0x3d82ab40, 0x62da, 0x11cf, {0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33}};
inline constexpr GUID IID_IDirectXFileEnumObject = {0x3d82ab41, 0x62da, 0x11cf, {0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33}};
inline constexpr GUID IID_IDirectXFileSaveObject = {0x3d82ab42, 0x62da, 0x11cf, {0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33}};
inline constexpr GUID IID_IDirectXFileObject = {0x3d82ab43, 0x62da, 0x11cf, {0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33}};
inline constexpr GUID IID_IDirectXFileData = {0x3d82ab44, 0x62da, 0x11cf, {0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33}};
inline constexpr GUID IID_IDirectXFileDataReference = {0x3d82ab45, 0x62da, 0x11cf, {0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33}};
inline constexpr GUID IID_IDirectXFileBinary = {0x3d82ab46, 0x62da, 0x11cf, {0xab, 0x39, 0x00, 0x20, 0xaf, 0x71, 0xe4, 0x33}};

struct IDirectXFileEnumObject;
struct IDirectXFileData;

// Any object met while enumerating: a data object, a reference or a binary object. The
// interface queries tell them apart.
struct IDirectXFileObject : IUnknown
{
    // The object's name and its terminator into the buffer; with a null buffer, the size the
    // name needs. DXFILEERR_BADVALUE when the buffer is too small.
    virtual HRESULT GetName(LPSTR pstrNameBuf, LPDWORD pdwBufLen) = 0;
    // The object's own identifier (zero when the file gives none).
    virtual HRESULT GetId(GUID* pGuid) = 0;
};
typedef IDirectXFileObject* LPDIRECTXFILEOBJECT;

struct IDirectXFileData : IDirectXFileObject
{
    // The object's members laid out back to back in declaration order, without padding: WORD
    // and SWORD 2 bytes, DWORD, SDWORD and FLOAT 4, DOUBLE 8, CHAR and UCHAR 1, strings as a
    // pointer to NUL-terminated text owned by the object, template members and arrays inline.
    // With a member name, only that top-level member. The data lives as long as the object.
    virtual HRESULT GetData(LPCSTR szMember, DWORD* pcbSize, void** ppvData) = 0;
    // The identifier of the object's template.
    virtual HRESULT GetType(const GUID** ppguid) = 0;
    // The next child (data object, reference or binary object); DXFILEERR_NOMOREOBJECTS after
    // the last. The caller releases it.
    virtual HRESULT GetNextObject(LPDIRECTXFILEOBJECT* ppChildObj) = 0;
};
typedef IDirectXFileData* LPDIRECTXFILEDATA;

struct IDirectXFileDataReference : IDirectXFileObject
{
    // The data object the reference names, found among the objects read so far.
    virtual HRESULT Resolve(LPDIRECTXFILEDATA* ppDataObj) = 0;
};
typedef IDirectXFileDataReference* LPDIRECTXFILEDATAREFERENCE;

struct IDirectXFileBinary : IDirectXFileObject
{
    virtual HRESULT GetSize(DWORD* pcbSize) = 0;
    virtual HRESULT GetMimeType(LPCSTR* pszMimeType) = 0;
    virtual HRESULT Read(LPVOID pvData, DWORD cbSize, LPDWORD pcbRead) = 0;
};
typedef IDirectXFileBinary* LPDIRECTXFILEBINARY;

struct IDirectXFileEnumObject : IUnknown
{
    // The next top-level data object; DXFILEERR_NOMOREOBJECTS at the end. Each call reads one
    // object (and the templates before it), so a fault in the file surfaces at the object it
    // is in, after the objects before it were handed out.
    virtual HRESULT GetNextDataObject(LPDIRECTXFILEDATA* ppDataObj) = 0;
    virtual HRESULT GetDataObjectById(REFGUID rguid, LPDIRECTXFILEDATA* ppDataObj) = 0;
    virtual HRESULT GetDataObjectByName(LPCSTR szName, LPDIRECTXFILEDATA* ppDataObj) = 0;
};
typedef IDirectXFileEnumObject* LPDIRECTXFILEENUMOBJECT;

struct IDirectXFile : IUnknown
{
    // pvSource is a file name, a DXFILELOADRESOURCE or a DXFILELOADMEMORY by the option. The
    // templates registered so far are known to the file; those it declares are added for it.
    virtual HRESULT CreateEnumObject(LPVOID pvSource, DXFILELOADOPTIONS dwLoadOptions,
                                     LPDIRECTXFILEENUMOBJECT* ppEnumObj) = 0;
    // Not provided: E_NOTIMPL.
    virtual HRESULT CreateSaveObject(LPCSTR szFileName, DXFILEFORMAT dwFileFormat, LPVOID* ppSaveObj) = 0;
    // Reads a block in the ".x" format (header included) that holds only template declarations.
    virtual HRESULT RegisterTemplates(LPVOID pvData, DWORD cbSize) = 0;
};
typedef IDirectXFile* LPDIRECTXFILE;

HRESULT DirectXFileCreate(LPDIRECTXFILE* lplpDirectXFile);
