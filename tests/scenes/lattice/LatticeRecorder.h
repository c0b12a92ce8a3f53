// The recording device with the 3D calls the lattice makes written down with
// their values, and a cube mesh that notes each subset it draws on it.
#pragma once

#include "RecordingDevice.h"

#include <d3dx8.h>

class LatticeRecorder : public RecordingDevice {
public:
    // floats: the 16 matrix elements, row by row.
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, CONST D3DMATRIX* matrix) override;
    // floats: Diffuse, Ambient, Specular, Emissive (r, g, b, a each), Power.
    HRESULT SetMaterial(CONST D3DMATERIAL8* material) override;
    // args: index, type; floats: Direction, then Diffuse, Specular, Ambient (r, g, b).
    HRESULT SetLight(DWORD index, CONST D3DLIGHT8* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;

    // The world matrices' translations (elements 41, 42, 43) of every
    // SetTransform(D3DTS_WORLD) followed directly by SetMaterial and DrawSubset.
    std::vector<D3DVECTOR> cubePositions() const;
};

// Draws nothing; each DrawSubset is recorded on the device as "DrawSubset"
// with the subset number. Release counts down and never frees.
class NotingMesh : public ID3DXMesh {
public:
    explicit NotingMesh(RecordingDevice* device) : device(device) {}

    RecordingDevice* device;
    ULONG references = 1;

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }
    HRESULT DrawSubset(DWORD attribute) override;
    DWORD GetNumFaces() override { return 12; }
    DWORD GetNumVertices() override { return 24; }
    DWORD GetFVF() override { return D3DFVF_XYZ | D3DFVF_NORMAL; }
    HRESULT GetDeclaration(DWORD*) override { return D3DERR_INVALIDCALL; }
    DWORD GetOptions() override { return 0; }
    HRESULT GetDevice(LPDIRECT3DDEVICE8*) override { return D3DERR_INVALIDCALL; }
    HRESULT CloneMeshFVF(DWORD, DWORD, LPDIRECT3DDEVICE8, LPD3DXMESH*) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT CloneMesh(DWORD, CONST DWORD*, LPDIRECT3DDEVICE8, LPD3DXMESH*) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT GetVertexBuffer(LPDIRECT3DVERTEXBUFFER8*) override { return D3DERR_INVALIDCALL; }
    HRESULT GetIndexBuffer(LPDIRECT3DINDEXBUFFER8*) override { return D3DERR_INVALIDCALL; }
    HRESULT LockVertexBuffer(DWORD, BYTE**) override { return D3DERR_INVALIDCALL; }
    HRESULT UnlockVertexBuffer() override { return D3DERR_INVALIDCALL; }
    HRESULT LockIndexBuffer(DWORD, BYTE**) override { return D3DERR_INVALIDCALL; }
    HRESULT UnlockIndexBuffer() override { return D3DERR_INVALIDCALL; }
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE*, DWORD*) override { return D3DERR_INVALIDCALL; }
    HRESULT ConvertPointRepsToAdjacency(CONST DWORD*, DWORD*) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT ConvertAdjacencyToPointReps(CONST DWORD*, DWORD*) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT GenerateAdjacency(FLOAT, DWORD*) override { return D3DERR_INVALIDCALL; }
    HRESULT LockAttributeBuffer(DWORD, DWORD**) override { return D3DERR_INVALIDCALL; }
    HRESULT UnlockAttributeBuffer() override { return D3DERR_INVALIDCALL; }
    HRESULT Optimize(DWORD, CONST DWORD*, DWORD*, DWORD*, LPD3DXBUFFER*, LPD3DXMESH*) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT OptimizeInplace(DWORD, CONST DWORD*, DWORD*, DWORD*, LPD3DXBUFFER*) override {
        return D3DERR_INVALIDCALL;
    }
};
