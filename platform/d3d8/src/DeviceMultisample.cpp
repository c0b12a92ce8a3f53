// Multisampled targets. A level-0 colour target is drawn into a multisampled renderbuffer
// of its own; its texture holds the resolved picture, brought up to date only when
// something reads it: sampling, presenting, copying or reading back.
#include "Device.h"

#include "Surface.h"
#include "Texture.h"

GLuint Device::multisampledColorOf(Surface* target) {
    if (samples == 0 || target->level() != 0) {
        return 0;
    }
    if (target->multisampledColor() == 0) {
        const GLsizei width = static_cast<GLsizei>(scale.size(target->width()));
        const GLsizei height = static_cast<GLsizei>(scale.size(target->height()));
        GLuint renderbuffer = 0;
        glGenRenderbuffers(1, &renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
        target->setMultisampledColor(renderbuffer);
        // The samples start as the texture's picture.
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebufferFor(target->glTexture(), 0, 0));
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER,
                          framebufferFor(target->glTexture(), 0, 0, renderbuffer));
        setEnabled(GL_SCISSOR_TEST, false, 0);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
        boundFramebuffer = ~0u;
        framebufferDirty = fixedStateDirty = true;
        GL_CHECK("multisampled target");
    }
    return target->multisampledColor();
}

void Device::resolve(Surface* target) {
    if (target == nullptr || !target->needsResolve()) {
        return;
    }
    const GLsizei width = static_cast<GLsizei>(scale.size(target->width()));
    const GLsizei height = static_cast<GLsizei>(scale.size(target->height()));
    glBindFramebuffer(GL_READ_FRAMEBUFFER,
                      framebufferFor(target->glTexture(), 0, 0, target->multisampledColor()));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebufferFor(target->glTexture(), 0, 0));
    setEnabled(GL_SCISSOR_TEST, false, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    target->markResolved();
    boundFramebuffer = ~0u;
    framebufferDirty = fixedStateDirty = true;
    GL_CHECK("resolve");
}

void Device::resolveSampledTargets() {
    for (Texture* texture : textures) {
        if (texture != nullptr && texture->isRenderTarget()) {
            resolve(texture->existingSurface(0));
        }
    }
}

void Device::refreshSamples(Surface* target, const RECT& rect) {
    if (target->multisampledColor() == 0) {
        return;
    }
    const RECT fine = scale.rect(rect);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebufferFor(target->glTexture(), 0, 0));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER,
                      framebufferFor(target->glTexture(), 0, 0, target->multisampledColor()));
    setEnabled(GL_SCISSOR_TEST, false, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBlitFramebuffer(fine.left, fine.top, fine.right, fine.bottom, fine.left, fine.top, fine.right,
                      fine.bottom, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    boundFramebuffer = ~0u;
    framebufferDirty = fixedStateDirty = true;
    GL_CHECK("samples refreshed");
}
