// A stand-in mesh for the scenes' tests: it draws nothing and records each
// DrawSubset on a recording device as "DrawSubset" with the subset number, in
// order with the device's own calls. Release counts down and never frees.
#pragma once

#include "RecordingDevice.h"

#include <d3dx8.h>

class RecordingMesh : public ID3DXMesh {
public:
    // The face and vertex counts and the vertex format the mesh answers.
    RecordingMesh(RecordingDevice* device, DWORD faces, DWORD vertices, DWORD fvf)
        : device(device), faces(faces), vertices(vertices), fvf(fvf) {}

    RecordingDevice* device;
    DWORD faces;
    DWORD vertices;
    DWORD fvf;
    ULONG references = 1;

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }
    HRESULT DrawSubset(DWORD subset) override;
    DWORD GetNumFaces() override { return faces; }
    DWORD GetNumVertices() override { return vertices; }
    DWORD GetFVF() override { return fvf; }
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
