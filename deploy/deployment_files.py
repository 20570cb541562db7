#!/usr/bin/env python3
"""Writes the deployment files of VelmarCardel.ocx from what its registration writes.

The input is the JSON that registration_facts.exe prints for one built library: the classes from the table
self-registration reads, and the type library with its interfaces as the file holds them. From it:

  manifest FACTS ARCH OUT                            the assembly manifest for registration-free use
  wxs-x86 VERSION OUT FACTS32 OCX32                  WiX source of the 32-bit Windows installer
  wxs-x64 VERSION OUT FACTS32 OCX32 FACTS64 OCX64    WiX source of the 64-bit Windows installer (both libraries)

The rows follow what DllRegisterServer writes (src/ole/registration.cpp) and what the system's
RegisterTypeLib adds for the library and its interfaces; the deployment tests compare an installed registry
with a registered one, key for key.
"""
import json
import sys
from xml.sax.saxutils import quoteattr

ASSEMBLY_NAME = 'VelmarCardel'
OCX_NAME = 'VelmarCardel.ocx'
# Proxy/stub classes of the automation marshaler: interfaces described by the library, and dispatch-only ones.
PS_OA_INTERFACE = '{00020424-0000-0000-C000-000000000046}'
PS_DISPATCH = '{00020420-0000-0000-C000-000000000046}'
TYPEFLAG_FDUAL = 0x40
TYPEFLAG_FOLEAUTOMATION = 0x100
LIBFLAGS = [(0x1, 'RESTRICTED'), (0x2, 'CONTROL'), (0x4, 'HIDDEN'), (0x8, 'HASDISKIMAGE')]
OLEMISC = ['recomposeonresize', 'onlyiconic', 'insertnotreplace', 'static', 'cantlinkinside', 'canlinkbyole1',
           'islinkobject', 'insideout', 'activatewhenvisible', 'renderingisdeviceindependent',
           'invisibleatruntime', 'alwaysrun', 'actslikebutton', 'actslikelabel', 'nouiactivate', 'alignable',
           'simpleframe', 'setclientsitefirst', 'imemode', 'ignoreactivatewhenvisible', 'wantstomenumerge',
           'supportsmultilevelundo']


class FactsError(Exception):
    pass


def misc_status_names(value):
    names = [name for bit, name in enumerate(OLEMISC) if value & (1 << bit)]
    if sum(1 << OLEMISC.index(n) for n in names) != value:
        raise FactsError('misc status %#x has bits without a manifest name' % value)
    return ','.join(names)


def registered_interfaces(facts):
    """The interfaces RegisterTypeLib writes, each with its proxy/stub class."""
    for i in facts['interfaces']:
        flags = i['type_flags']
        if i['dispatch'] or flags & TYPEFLAG_FOLEAUTOMATION:
            dual = flags & TYPEFLAG_FDUAL
            yield i, (PS_DISPATCH if i['dispatch'] and not dual else PS_OA_INTERFACE)


def version_key(lib):
    return '%x.%x' % (lib['major'], lib['minor'])


def assembly_version(lib):
    # Applications name the assembly by this version: it follows the published interface, the type library's.
    return '%d.%d.0.0' % (lib['major'], lib['minor'])


def manifest(facts, arch):
    lib = facts['typelib']
    tlbid = lib['libid']
    flags = ','.join(name for bit, name in LIBFLAGS if lib['flags'] & bit)
    lines = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>',
             '<!-- Written by the build from the library\'s registration; see README, "Deploy". -->',
             '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">',
             '  <assemblyIdentity type="win32" name=%s version=%s processorArchitecture=%s/>'
             % (quoteattr(ASSEMBLY_NAME), quoteattr(assembly_version(lib)), quoteattr(arch)),
             '  <file name=%s>' % quoteattr(OCX_NAME)]
    for c in facts['classes']:
        attrs = [('clsid', c['clsid'])]
        if c['progid']:
            attrs.append(('progid', c['progid']))
        attrs += [('threadingModel', 'Apartment'), ('tlbid', tlbid), ('description', c['description'])]
        if c['control']:
            attrs.append(('miscStatusContent', misc_status_names(c['misc_status'])))
        lines.append('    <comClass %s/>' % ' '.join('%s=%s' % (k, quoteattr(v)) for k, v in attrs))
    lines.append('    <typelib tlbid=%s version=%s helpdir=%s flags=%s/>'
                 % (quoteattr(tlbid), quoteattr('%d.%d' % (lib['major'], lib['minor'])), quoteattr(''),
                    quoteattr(flags)))
    lines.append('  </file>')
    for i, proxy in registered_interfaces(facts):
        lines.append('  <comInterfaceExternalProxyStub name=%s iid=%s proxyStubClsid32=%s tlbid=%s/>'
                     % (quoteattr(i['name']), quoteattr(i['iid']), quoteattr(proxy), quoteattr(tlbid)))
    lines.append('</assembly>')
    return '\n'.join(lines) + '\n'


def registry_rows(facts, file_ref, folder_ref, win64):
    """(key, name, value) in HKEY_CLASSES_ROOT; name None is the default value; file_ref is the OCX's path,
    folder_ref its folder's (where RegisterTypeLib points HELPDIR for a library without a help file)."""
    lib = facts['typelib']
    libid = lib['libid']
    rows = []
    for c in facts['classes']:
        key = 'CLSID\\' + c['clsid']
        rows += [(key, None, c['description']),
                 (key + '\\InprocServer32', None, file_ref),
                 (key + '\\InprocServer32', 'ThreadingModel', 'Apartment'),
                 (key + '\\TypeLib', None, libid),
                 (key + '\\Version', None, c['version'])]
        if c['progid']:
            rows += [(key + '\\ProgID', None, c['progid']),
                     (key + '\\VersionIndependentProgID', None, c['progid'])]
        if c['control']:
            rows += [(key + '\\Control', None, ''),
                     (key + '\\MiscStatus', None, '0'),
                     (key + '\\MiscStatus\\1', None, str(c['misc_status'])),
                     (key + '\\ToolboxBitmap32', None, '%s, %d' % (file_ref, c['toolbox_bitmap']))]
            rows += [(key + '\\Implemented Categories\\' + cat, None, '') for cat in c['categories']]
            rows += [(key + '\\Verb\\%d' % verb, None, value) for verb, value in c['verbs']]
    version = 'TypeLib\\%s\\%s' % (libid, version_key(lib))
    platform = 'win64' if win64 else 'win32'
    rows += [(version, None, lib['doc'] or lib['name']),
             (version + '\\FLAGS', None, str(lib['flags'])),
             (version + '\\HELPDIR', None, folder_ref),
             (version + '\\%x\\%s' % (lib['lcid'], platform), None, file_ref),
             (version + '\\0\\' + platform, None, file_ref)]
    for i, proxy in registered_interfaces(facts):
        key = 'Interface\\' + i['iid']
        rows += [(key, None, i['name']),
                 (key + '\\ProxyStubClsid', None, proxy),
                 (key + '\\ProxyStubClsid32', None, proxy),
                 (key + '\\TypeLib', None, libid),
                 (key + '\\TypeLib', 'Version', version_key(lib))]
    return rows


def progid_rows(facts):
    """The ProgID keys: one key for both registry views, so an installer writes them once."""
    rows = []
    for c in facts['classes']:
        if c['progid']:
            rows += [(c['progid'], None, c['description']), (c['progid'] + '\\CLSID', None, c['clsid'])]
    return rows


def wix_rows(rows, indent):
    out = []
    for key, name, value in rows:
        attrs = [('Root', 'HKCR'), ('Key', key)]
        if name is not None:
            attrs.append(('Name', name))
        attrs += [('Type', 'string'), ('Value', value)]
        out.append(indent + '<RegistryValue %s/>' % ' '.join('%s=%s' % (k, quoteattr(v)) for k, v in attrs))
    return '\n'.join(out)


# Fixed identities: a major upgrade finds the installed product by its upgrade code, and Windows Installer
# counts each component's references by its GUID.
PRODUCTS = {
    'x86': {'upgrade': '{5B0E7F0C-2F4D-4C43-9B0A-6D1B1E3A7C21}', 'library32': '{1E6C2B5A-0D43-4F5E-8A61-2C9B7D4E3F10}',
            'progids': '{8C4A1D2E-6B3F-4A57-9E10-3D5C7B9A1F42}'},
    'x64': {'upgrade': '{0D9A4E71-5C2B-4F86-A3D1-7E6B2C8F5A93}', 'library32': '{4F2B8D1C-3A6E-4B79-8C05-1E9D7A6B3C54}',
            'library64': '{7A3C9E2B-1D5F-4E68-B7A0-6C4D2F8E1B75}', 'progids': '{2C8E5A3D-9B1F-4D76-A4E2-5F3B7C9D1E86}'},
}


def wxs(arch, version, libraries):
    """The WiX source of one MSI. libraries: (facts, source path, win64) for each OCX it installs."""
    ids = PRODUCTS[arch]
    refs = []
    dirs = []
    for facts, source, win64 in libraries:
        bits = '64' if win64 else '32'
        component = 'Library' + bits
        refs.append(component)
        body = ['        <Component Id="%s" Guid="%s"%s>' % (component, ids['library' + bits],
                                                              ' Win64="yes"' if win64 else ''),
                '          <File Id="ocx%s" Name="%s" Source=%s KeyPath="yes"/>' % (bits, OCX_NAME, quoteattr(source)),
                wix_rows(registry_rows(facts, '[#ocx%s]' % bits, '[INSTALLDIR%s]' % bits, win64), '          '),
                '        </Component>']
        # The ProgID keys go with the 64-bit library where there is one: one component writes them.
        if win64 or len(libraries) == 1:
            body += ['        <Component Id="ProgIds" Guid="%s"%s>' % (ids['progids'], ' Win64="yes"' if win64 else ''),
                     wix_rows(progid_rows(facts), '          '),
                     '        </Component>']
            refs.append('ProgIds')
        folder = 'ProgramFiles64Folder' if win64 else 'ProgramFilesFolder'
        dirs += ['    <Directory Id="%s">' % folder,
                 '      <Directory Id="INSTALLDIR%s" Name="VelmarCardel">' % bits] + \
                body + \
                ['      </Directory>', '    </Directory>']
    condition = []
    if arch == 'x86':
        condition = ['  <Condition Message="This package is for 32-bit Windows. On 64-bit Windows install '
                     'VelmarCardel-%s-x64.msi, which holds both the 32- and the 64-bit control.">'
                     'Installed OR NOT VersionNT64</Condition>' % version]
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">',
             '<Product Id="*" Name="VelmarCardel ActiveX control (%s)" Language="1033" Version="%s" '
             'Manufacturer="VelmarCardel" UpgradeCode="%s">' % (arch, version, ids['upgrade']),
             '  <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"/>',
             '  <MajorUpgrade DowngradeErrorMessage="A newer version of VelmarCardel is already installed."/>',
             '  <Media Id="1" Cabinet="cardel.cab" EmbedCab="yes"/>'] + condition + [
             '  <Directory Id="TARGETDIR" Name="SourceDir">'] + dirs + [
             '  </Directory>',
             '  <Feature Id="Control" Level="1">'] + \
            ['    <ComponentRef Id="%s"/>' % r for r in refs] + [
             '  </Feature>',
             '</Product>',
             '</Wix>']
    return '\n'.join(lines) + '\n'


def main(argv):
    if len(argv) == 5 and argv[1] == 'manifest':
        with open(argv[2]) as f:
            text = manifest(json.load(f), argv[3])
        out = argv[4]
    elif len(argv) in (6, 8) and argv[1] in ('wxs-x86', 'wxs-x64'):
        # wxs-ARCH VERSION OUT FACTS32 OCX32 [FACTS64 OCX64]: sources relative to where wixl runs.
        arch = argv[1][4:]
        version, out = argv[2], argv[3]
        libraries = []
        for facts_path, source, win64 in zip(argv[4::2], argv[5::2], (False, True)):
            with open(facts_path) as f:
                libraries.append((json.load(f), source, win64))
        if (arch == 'x64') != (len(libraries) == 2):
            raise FactsError('the x86 package holds the 32-bit library, the x64 package both')
        text = wxs(arch, version, libraries)
    else:
        sys.stderr.write(__doc__)
        return 2
    with open(out, 'w', newline='\r\n' if out.endswith('.manifest') else '\n') as f:
        f.write(text)
    return 0


if __name__ == '__main__':
    try:
        sys.exit(main(sys.argv))
    except (FactsError, KeyError) as e:
        sys.stderr.write('deployment_files: %s\n' % e)
        sys.exit(1)
