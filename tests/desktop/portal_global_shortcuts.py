'''A desktop portal that offers global shortcuts, for python3-dbusmock.

Every request is answered the way the real portal does: the method returns
the request's object path at once and the answer follows as that request's
Response signal. The test steers the answers and presses shortcuts through
the methods on org.freedesktop.DBus.Mock below.
'''

import dbus
import dbus.service
from gi.repository import GLib

BUS_NAME = 'org.freedesktop.portal.Desktop'
MAIN_OBJ = '/org/freedesktop/portal/desktop'
MAIN_IFACE = 'org.freedesktop.portal.GlobalShortcuts'
SYSTEM_BUS = False

MOCK_IFACE = 'org.freedesktop.DBus.Mock'
REQUEST_IFACE = 'org.freedesktop.portal.Request'


def load(mock, parameters):
    mock.AddProperties(MAIN_IFACE, {'version': dbus.UInt32(parameters.get('version', 1))})
    mock.bind_response = 0
    mock.trigger_description = 'Ctrl+Alt+M'
    mock.sessions = []


def _caller_path(sender):
    # The portal's own rule: the unique name without ':' and with '_' for '.'.
    return sender[1:].replace('.', '_')


def _respond(mock, handle, response, results):
    def send():
        mock._emit_signal(REQUEST_IFACE, 'Response', 'ua{sv}', [dbus.UInt32(response), results],
                          {'path': handle})
        return False
    # After the method's reply, as a real portal answers.
    GLib.timeout_add(10, send)


@dbus.service.method(MAIN_IFACE, in_signature='a{sv}', out_signature='o', sender_keyword='sender')
def CreateSession(self, options, sender=None):
    caller = _caller_path(sender)
    handle = f'/org/freedesktop/portal/desktop/request/{caller}/{options["handle_token"]}'
    session = f'/org/freedesktop/portal/desktop/session/{caller}/{options["session_handle_token"]}'
    self.sessions.append(session)
    _respond(self, handle, 0, {'session_handle': dbus.String(session)})
    return dbus.ObjectPath(handle)


@dbus.service.method(MAIN_IFACE, in_signature='oa(sa{sv})sa{sv}', out_signature='o',
                     sender_keyword='sender')
def BindShortcuts(self, session, shortcuts, parent_window, options, sender=None):
    handle = f'/org/freedesktop/portal/desktop/request/{_caller_path(sender)}/{options["handle_token"]}'
    bound = dbus.Array([(shortcut_id, {'description': info['description'],
                                       'trigger_description': self.trigger_description})
                        for shortcut_id, info in shortcuts], signature='(sa{sv})')
    _respond(self, handle, self.bind_response,
             {'shortcuts': bound} if self.bind_response == 0 else {})
    return dbus.ObjectPath(handle)


@dbus.service.method(MOCK_IFACE, in_signature='us', out_signature='')
def SetBindAnswer(self, response, trigger_description):
    '''The Response code of later BindShortcuts calls (0 bound, 1 cancelled,
    2 failed) and the trigger the desktop reports for a bound shortcut.'''
    self.bind_response = int(response)
    self.trigger_description = str(trigger_description)


@dbus.service.method(MOCK_IFACE, in_signature='s', out_signature='')
def Press(self, shortcut_id):
    '''The user presses the shortcut of the newest session.'''
    self._emit_signal(MAIN_IFACE, 'Activated', 'osta{sv}',
                      [dbus.ObjectPath(self.sessions[-1]), shortcut_id, dbus.UInt64(1234),
                       {'activation_token': dbus.String('token-1234')}], {})


@dbus.service.method(MOCK_IFACE, in_signature='s', out_signature='')
def Rebind(self, trigger_description):
    '''The user gives the newest session's shortcut other keys in the desktop's settings.'''
    self._emit_signal(MAIN_IFACE, 'ShortcutsChanged', 'oa(sa{sv})',
                      [dbus.ObjectPath(self.sessions[-1]),
                       dbus.Array([('show-window', {'trigger_description': trigger_description})],
                                  signature='(sa{sv})')], {})
